// KORVEL: generalized blockmodeling of network data by local optimization.
#include "driver/program_flow.h"
#include "state.h"

int main(int argc, char** argv) {
    ArgCount = argc;
    ArgValues = argv;
    RunProgram();
}
