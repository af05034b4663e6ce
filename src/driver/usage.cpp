// The usage is checked before anything else, before the banner and the
// environment file, so that asking for it changes nothing in the folder.
#include "driver/usage.h"

#include <cstdio>
#include <cstring>

#include "console/stop.h"
#include "state.h"

#ifndef KORVEL_README
#define KORVEL_README "README.md beside the program's sources"
#endif

static const char* const UsageText =
    "Usage: korvel [keyword=value ...]\n"
    "       korvel --help | -h | --version\n"
    "\n"
    "KORVEL asks its questions on the console. Arguments keyword=value set the\n"
    "files and settings (kept in the environment file) and answer questions in\n"
    "advance; keywords may be written in any case. Any other argument stops the\n"
    "run before it reads or writes a file.\n"
    "\n"
    "Files:\n"
    "  net= lst= mdl= zep=  network, listing, model and partition file\n"
    "  blocks=TYPE,...      the model without a model file: 75 x 75 blocks, each\n"
    "                       allowing these types, named as in weights=\n"
    "                       (blocks=null,complete); not together with mdl=\n"
    "  env=                 environment file (default Tebra.ENV)\n"
    "  raw= nam= var= ext= tex= dis= units= vars= debug= source= dism= assc= norm=\n"
    "                       entries kept for the other programs of the family\n"
    "\n"
    "Answers (any of rows=, cols=, reps=, run=, time= makes the run scripted:\n"
    "every question takes its answer or the default shown, echoed as if typed;\n"
    "nothing waits for Enter; the run stops after the series or the partition\n"
    "file read and ends with a summary of its result; on a terminal one progress\n"
    "line stands for the progress marks):\n"
    "  params=y|n           \"Change parameters?\": y saves the environment and ends (n)\n"
    "  run=0..2             0 stop, 1 read the partition file, 2 random (2)\n"
    "  rows=N  cols=N       numbers of row and column clusters (2); a range A..B\n"
    "                       runs one series for each pair of counts (a sweep,\n"
    "                       each from the same seed; best errors in NAME-sweep.svg)\n"
    "  reps=N               random repetitions (100; with time= alone, as many\n"
    "                       as the time allows)\n"
    "  time=SECONDS         a series ends once its time is spent, after the\n"
    "                       running repetition; with reps= too, whichever\n"
    "                       comes first\n"
    "  save=0..3            save clusterings: 0 no, 1 ask, 2 opt, 3 all (0)\n"
    "  keep=y|n             answer to \"save clustering\" when save=1 (n)\n"
    "  list=1..5            listing level (1)\n"
    "  title=TEXT           run title (the current one)\n"
    "  errors=1|2           error type: 1 constant, 2 size (1)\n"
    "  minsize=N            minimal dom/fun/reg size (1)\n"
    "  values=0|1           block values: 0 without, 1 average (0)\n"
    "  weights=NAME:W,...   weights 0..999999 of block types named as in the\n"
    "                       weights table (null, complete, ...), by short name\n"
    "                       (com, reg, ...) or by number 0..12 (all 1)\n"
    "  diadensity=D  outdensity=D  density parameters 0.00001..1 (0.75, 0.5)\n"
    "  priorities=P,...     13 priorities 0..13 in the order of the weights table\n"
    "  seed=N               seed of the random generator, 0..4294967295\n"
    "  threads=N            threads searching a random series at list level 1\n"
    "                       without save=1: 0 every hardware thread, 1 one\n"
    "                       thread (0); console and files are the same for any\n"
    "                       number\n"
    "  search=local|vns     the search of a repetition: local, the local\n"
    "                       optimization of its random start (local); vns, that\n"
    "                       followed by a neighbourhood search: a few units of\n"
    "                       the best partitions moved (a shake), the search\n"
    "                       again, a lower error kept, until shakes= shakes in\n"
    "                       a row bring nothing\n"
    "  shakes=N             shakes without improvement that end a vns\n"
    "                       repetition, 1..1000000 (10)\n"
    "  onemode=1            one partition for a one-mode network, the same\n"
    "                       clusters for rows and columns; rows=N gives their\n"
    "                       number and cols= is ignored (0: two partitions)\n"
    "  criterion=bin|ss|ad|val  how blocks are judged (bin): bin counts ties and\n"
    "                       gaps; ss, ad and val take the values as read, zeros\n"
    "                       and the diagonal included: null = sum x^2, sum |x|,\n"
    "                       sum x; complete = sum (x - mean)^2, sum |x - median|,\n"
    "                       sum max(0, M - x). Null, complete and do not care\n"
    "                       blocks only, constant errors; negative values are\n"
    "                       kept (ss, ad) or refused (val)\n"
    "  m=M                  the value M > 0 of criterion=val, which needs it\n"
    "\n"
    "Environment:\n"
    "  KORVEL_SEED=N        seed of the random generator when seed= is not given\n"
    "\n"
    "Sizes: any network the memory holds, up to 65535 units a side and 2^31\n"
    "cells; a network too large for the machine's memory is refused before its\n"
    "ties are read. Memory grows with the ties and with the units times the\n"
    "clusters; a trial costs the ties of the units it moves and the clusters, a\n"
    "repetition about the units squared (its exchanges). Above 250 units a side\n"
    "the listing shows no cell matrix (the picture shows the blocks instead).\n"
    "\n"
    "Ctrl-C during a random series ends the series after the running repetition\n"
    "(on several threads: after the one being recorded; repetitions searched\n"
    "ahead are dropped); the run then reports it (listing and result files),\n"
    "saves the environment and ends with exit code 130. A Ctrl-C while the\n"
    "report and files are written waits for them. Further Ctrl-Cs within a\n"
    "second of the first are the same one; one a second or more later ends the\n"
    "run at once without its report (exit code 130).\n"
    "\n"
    "More: man korvel, and the guide " KORVEL_README "\n";

void AnswerUsageArguments() {
    for (int i = 1; i < ArgCount; ++i) {
        const char* argument = ArgValues[i];
        if (std::strcmp(argument, "--help") == 0 || std::strcmp(argument, "-h") == 0) {
            std::fputs(UsageText, stdout);
            EndProgram(0);
        }
        if (std::strcmp(argument, "--version") == 0) {
            std::printf("KORVEL version: %s\n", VersionDate);
            EndProgram(0);
        }
    }
}
