// Named answers. Each is kept with the record of the question it answers,
// which the dialogues ask through the table of questions. The answers are
// checked when the arguments are read, so that a scripted run never meets a
// refused answer and never waits for a console that is not there; only the cluster counts and the minimal size depend
// on the data, and they are checked once the network and model are read.
#include "settings/named_answers.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "console/output.h"
#include "console/prompts.h"
#include "console/stop.h"
#include "console/text_input.h"
#include "console/visible_text.h"
#include "settings/cluster_sweep.h"
#include "settings/keywords.h"
#include "settings/questions.h"
#include "state.h"

bool ParseSeed(const char* text, uint32_t& seed) {
    if (*text == '\0') return false;
    uint64_t value = 0;
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p < '0' || *p > '9') return false;
        value = value * 10 + static_cast<uint64_t>(*p - '0');
        if (value > 4294967295ull) return false;
    }
    seed = static_cast<uint32_t>(value);
    return true;
}

// Every seed= argument was checked before the run began.
bool NamedSeed(uint32_t& seed) {
    bool found = false;
    for (int i = 1; i < ArgCount; ++i) {
        const char* value = KeywordValue(i, "seed");
        if (value != nullptr) found = ParseSeed(value, seed);
    }
    return found;
}

static std::string RangeText(int32_t min, int32_t max) {
    return std::to_string(min) + ".." + std::to_string(max);
}

static void AddAnswer(const Question& q, const char* keyword, const std::string& text, bool repeats) {
    // A later argument of the same keyword replaces the earlier answer.
    for (int n = 0; n < NumNamedAnswers; ++n) {
        NamedAnswerEntry& entry = NamedAnswers[n];
        if (repeats && entry.Repeats && entry.Asked == &q) {
            entry.Text = text;
            return;
        }
    }
    if (NumNamedAnswers == MaxNamedAnswers) return;
    NamedAnswers[NumNamedAnswers++] = NamedAnswerEntry{&q, keyword, text, repeats, false};
}

// A real answer by the answer grammar, within min..max.
static bool ParseRealIn(const std::string& text, double min, double max) {
    double value;
    return ParseAnswer(text, value) && std::isfinite(value) && value >= min && value <= max;
}

// The block type of a name in weights=: its number, its short name or its
// name (blanks written as hyphens), in any case; -1 when none.
static int TypeOfName(const std::string& name) {
    int32_t number;
    if (ParseInt32(name.c_str(), number)) return number >= 0 && number <= MaxTypeCode ? number : -1;
    std::string lower = Lowered(name);
    for (int k = 0; k <= MaxTypeCode; ++k) {
        std::string code = TypeCode[k], full = TypeName[k];
        for (char& c : full)
            if (c == ' ') c = '-';
        if (lower == full || (code.find('-') == std::string::npos && lower == code)) return k;
    }
    return -1;
}

// blocks=: the types every block allows, named as in weights=, in any
// number and order.
static void ReadBlocks(const char* value) {
    static const char* const Range =
        "block types separated by commas, each named as in the weights table (null, complete, ...), by short "
        "name (com, reg, ...) or by number 0..12";
    uint16_t types = 0;
    std::string item;
    for (const char* p = value;; ++p) {
        if (*p != ',' && *p != '\0') {
            item.push_back(*p);
            continue;
        }
        int k = TypeOfName(item);
        if (k < 0) StopOnGivenAnswer("blocks", value, Range);
        types = static_cast<uint16_t>(types | (1u << k));
        item.clear();
        if (*p == '\0') break;
    }
    GivenBlockTypes = types;
}

// The comma-separated items of a value.
static int SplitItems(const char* value, std::string items[], int maxItems) {
    int n = 0;
    std::string item;
    for (const char* p = value;; ++p) {
        if (*p == ',' || *p == '\0') {
            if (n < maxItems) items[n] = item;
            ++n;
            item.clear();
            if (*p == '\0') break;
        } else {
            item.push_back(*p);
        }
    }
    return n;
}

// The answers of the weights dialogue, gathered over the arguments and then
// queued in the order the dialogue asks for them.
struct WeightAnswers {
    std::string Weight[NumTypeCodes];  // empty: not given
    std::string DiaDensity, OutDensity;
    std::string Priority[NumTypeCodes];
    bool PrioritiesGiven;
};

static void ReadWeights(const char* value, WeightAnswers& answers) {
    static const char* const Range = "name:weight pairs with weights 0..999999 and names as in the weights table";
    std::string items[NumTypeCodes + 1];
    int n = SplitItems(value, items, NumTypeCodes + 1);
    if (n > NumTypeCodes) StopOnGivenAnswer("weights", value, Range);
    for (int i = 0; i < n; ++i) {
        size_t colon = items[i].find(':');
        if (colon == std::string::npos) StopOnGivenAnswer("weights", value, Range);
        int k = TypeOfName(items[i].substr(0, colon));
        std::string weight = items[i].substr(colon + 1);
        if (k < 0 || !ParseRealIn(weight, 0, 999999)) StopOnGivenAnswer("weights", value, Range);
        answers.Weight[k] = weight;
    }
}

static void ReadPriorities(const char* value, WeightAnswers& answers) {
    static const char* const Range = "13 numbers 0..13 in the order of the weights table, each of 1..13 at most once";
    std::string items[NumTypeCodes + 1];
    if (SplitItems(value, items, NumTypeCodes + 1) != NumTypeCodes) StopOnGivenAnswer("priorities", value, Range);
    bool used[NumTypeCodes + 1] = {};
    for (int k = 0; k <= MaxTypeCode; ++k) {
        int32_t p;
        if (!ParseInt32(items[k].c_str(), p) || p < 0 || p > NumTypeCodes)
            StopOnGivenAnswer("priorities", value, Range);
        // A repeated priority would make the dialogue ask all of them again.
        if (p > 0 && used[p]) StopOnGivenAnswer("priorities", value, Range);
        used[p] = true;
        answers.Priority[k] = items[k];
    }
    answers.PrioritiesGiven = true;
}

static void QueueWeightAnswers(const WeightAnswers& answers) {
    bool densities = !answers.DiaDensity.empty() || !answers.OutDensity.empty();
    bool any = densities || answers.PrioritiesGiven;
    for (int k = 0; k <= MaxTypeCode; ++k) {
        bool density = k == DensityType && densities;
        if (answers.Weight[k].empty() && !density) continue;
        any = true;
        AddAnswer(WeightChoiceQuestion, "weights", std::to_string(k), false);
        // Changing the densities passes through the density weight, which
        // keeps its default unless it is named too.
        AddAnswer(NewWeightQuestion, "weights", answers.Weight[k].empty() ? "1" : answers.Weight[k], false);
        if (k == DensityType) {
            AddAnswer(DiaDensityQuestion, "diadensity", answers.DiaDensity.empty() ? "0.75" : answers.DiaDensity,
                      false);
            AddAnswer(OutDensityQuestion, "outdensity", answers.OutDensity.empty() ? "0.5" : answers.OutDensity, false);
        }
    }
    if (answers.PrioritiesGiven) {
        AddAnswer(WeightChoiceQuestion, "priorities", "13", false);
        for (int k = 0; k <= MaxTypeCode; ++k) AddAnswer(PriorityQuestion, "priorities", answers.Priority[k], false);
    }
    if (any) AddAnswer(WeightChoiceQuestion, "weights", "-1", false);
}

// Checks the answer of one question and gives it as it will be typed.
static std::string QuestionAnswer(const Question& q, const char* value) {
    std::string text = value;
    std::string range = RangeText(static_cast<int32_t>(q.Min), static_cast<int32_t>(q.Max));
    if (ClusterSideOf(q) >= 0 && std::strstr(value, "..") != nullptr) {
        int32_t first, last;
        if (!ParseClusterCounts(value, first, last) || first < q.Min || first > last || last > q.Max)
            StopOnGivenAnswer(q.Keyword, text, range + ", or a range A..B within it with A <= B");
    } else if (q.Kind == AnswerKind::Integer) {
        int32_t number;
        if (!ParseInt32(value, number) || number < q.Min || number > q.Max) StopOnGivenAnswer(q.Keyword, text, range);
    } else if (q.Kind == AnswerKind::YesNo) {
        char c = static_cast<char>(std::tolower(static_cast<unsigned char>(value[0])));
        if (c != 'y' && c != 'n') StopOnGivenAnswer(q.Keyword, text, "yes or no");
    } else {
        // A title is one line of the environment file: it ends at a control
        // character, a line end or Ctrl-Z among them.
        size_t end = FirstControlCharacter(text);
        if (end != std::string::npos) text.resize(end);
    }
    return text;
}

// The bounds of search= and time=: a year is beyond any series anyone waits for.
static const int32_t MaxShakeLimit = 1000000;
static const double SecondsOfAYear = 31536000;

// The keywords of answers and run settings that no question table holds.
static const char* const OtherKeywords[] = {"weights", "diadensity", "outdensity", "priorities",
                                            "seed",    "onemode",    "threads",    "blocks",
                                            "search",  "shakes",     "time",       "criterion",
                                            "m"};

static bool IsAnswerKeyword(const std::string& keyword) {
    for (int k = 0; k < NumKeywordQuestions; ++k)
        if (keyword == KeywordQuestions[k]->Keyword) return true;
    for (const char* other : OtherKeywords)
        if (keyword == other) return true;
    return false;
}

// A mistyped keyword would otherwise be passed over and the run go on with
// the default it meant to change; a bare file name would drop into the
// dialogue. Both stop the run before anything is read or written.
static void RefuseUnknownArguments() {
    for (int i = 1; i < ArgCount; ++i) {
        const char* argument = ArgValues[i];
        const char* equals = std::strchr(argument, '=');
        std::string keyword = equals == nullptr ? "" : Lowered(std::string(argument, equals));
        if (equals != nullptr && (IsSettingKeyword(keyword) || IsAnswerKeyword(keyword))) continue;
        ConMessage("Unknown argument: %s", argument);
        EndProgram(1);
    }
}

// criterion=: bin, ss, ad or val, in any case.
static void ReadCriterion(const char* value) {
    const std::string lower = Lowered(value);
    for (int k = BinaryCriterion; k <= ValuesCriterion; ++k) {
        if (lower != CriterionName[k]) continue;
        Criterion = k;
        return;
    }
    StopOnGivenAnswer("criterion", value, "bin, ss, ad or val");
}

// m= belongs to criterion=val, which cannot do without it; the valued
// criteria have no size errors.
static void RefuseCriterionSettings() {
    if (Criterion == ValuesCriterion && PresetM <= 0) {
        ConMessage("criterion=val needs m=M, the value a tie of a complete block should reach (M > 0)");
        EndProgram(1);
    }
    if (Criterion != ValuesCriterion && PresetM > 0) {
        ConMessage("m= belongs to criterion=val, not to criterion=%s", CriterionName[Criterion]);
        EndProgram(1);
    }
    if (!ValuedCriterion()) return;
    for (int n = 0; n < NumNamedAnswers; ++n) {
        const NamedAnswerEntry& entry = NamedAnswers[n];
        int32_t type;
        if (entry.Asked != &ErrorTypeQuestion || !ParseInt32(entry.Text.c_str(), type) || type != SizeErrors) continue;
        ConMessage("errors=%s does not go with criterion=%s: its block errors are constant", entry.Text.c_str(),
                   CriterionName[Criterion]);
        EndProgram(1);
    }
}

// Two models for one run: the one blocks= gives and the file mdl= names.
static void RefuseTwoModels() {
    if (GivenBlockTypes == 0) return;
    for (int i = 1; i < ArgCount; ++i) {
        if (KeywordValue(i, "mdl") == nullptr) continue;
        ConMessage("blocks= and mdl= cannot both be given: blocks= is the model, without a model file");
        EndProgram(1);
    }
}

void ReadNamedAnswers() {
    RefuseUnknownArguments();
    NumNamedAnswers = 0;
    Criterion = BinaryCriterion;
    PresetM = 0.0;
    ScriptedRun = false;
    SearchThreads = 0;
    SearchStrategy = SearchStrategies::Local;
    ShakeLimit = DefaultShakeLimit;
    SeriesSeconds = 0;
    bool repsGiven = false;
    GivenBlockTypes = 0;
    for (int s = RowSide; s <= ColSide; ++s) SweepFirst[s] = SweepLast[s] = 0;
    WeightAnswers weights{};
    std::string runAnswer = "2";  // a scripted run without run= starts a random series
    for (int i = 1; i < ArgCount; ++i) {
        const char* argument = ArgValues[i];
        const char* equals = std::strchr(argument, '=');
        if (equals == nullptr) continue;
        std::string keyword = Lowered(std::string(argument, equals));
        const char* value = equals + 1;
        if (keyword == "rows" || keyword == "cols" || keyword == "reps" || keyword == "run" || keyword == "time")
            ScriptedRun = true;
        repsGiven = repsGiven || keyword == "reps";
        for (int k = 0; k < NumKeywordQuestions; ++k) {
            const Question& q = *KeywordQuestions[k];
            if (keyword != q.Keyword) continue;
            std::string text = QuestionAnswer(q, value);
            if (&q == &RunQuestion) {
                runAnswer = text;
            } else {
                AddAnswer(q, q.Keyword, text, true);
            }
        }
        if (keyword == "rows" || keyword == "cols") {
            // A later single count ends the range an earlier argument named.
            int side = keyword == "rows" ? RowSide : ColSide;
            SweepFirst[side] = SweepLast[side] = 0;
            if (std::strstr(value, "..") != nullptr) ParseClusterCounts(value, SweepFirst[side], SweepLast[side]);
        }
        if (keyword == "weights") {
            ReadWeights(value, weights);
        } else if (keyword == "diadensity" || keyword == "outdensity") {
            const Question& q = keyword == "diadensity" ? DiaDensityQuestion : OutDensityQuestion;
            if (!ParseRealIn(value, q.Min, q.Max))
                StopOnGivenAnswer(keyword == "diadensity" ? "diadensity" : "outdensity", value, "0.00001..1");
            (keyword == "diadensity" ? weights.DiaDensity : weights.OutDensity) = value;
        } else if (keyword == "priorities") {
            ReadPriorities(value, weights);
        } else if (keyword == "seed") {
            uint32_t seed;
            if (!ParseSeed(value, seed)) StopOnGivenAnswer("seed", value, "0..4294967295");
        } else if (keyword == "onemode") {
            if (std::strcmp(value, "0") != 0 && std::strcmp(value, "1") != 0)
                StopOnGivenAnswer("onemode", value, "0 or 1");
            OneModeAsked = value[0] == '1';
        } else if (keyword == "blocks") {
            ReadBlocks(value);
        } else if (keyword == "criterion") {
            ReadCriterion(value);
        } else if (keyword == "m") {
            double m;
            if (!ParseAnswer(value, m) || !std::isfinite(m) || m <= 0)
                StopOnGivenAnswer("m", value, "a number above 0");
            PresetM = m;
        } else if (keyword == "threads") {
            int32_t threads;
            if (!ParseInt32(value, threads) || threads < 0 || threads > MaxSearchThreads)
                StopOnGivenAnswer("threads", value, RangeText(0, MaxSearchThreads));
            SearchThreads = threads;
        } else if (keyword == "search") {
            const std::string strategy = Lowered(value);
            if (strategy != "local" && strategy != "vns") StopOnGivenAnswer("search", value, "local or vns");
            SearchStrategy = strategy == "vns" ? SearchStrategies::Neighbourhood : SearchStrategies::Local;
        } else if (keyword == "shakes") {
            if (!ParseInt32(value, ShakeLimit) || ShakeLimit < 1 || ShakeLimit > MaxShakeLimit)
                StopOnGivenAnswer("shakes", value, RangeText(1, MaxShakeLimit));
        } else if (keyword == "time") {
            if (!ParseRealIn(value, 0.001, SecondsOfAYear)) StopOnGivenAnswer("time", value, "0.001..31536000 seconds");
            ParseAnswer(value, SeriesSeconds);
        }
    }
    // A time budget alone bounds the series by its time.
    if (SeriesSeconds > 0 && !repsGiven)
        AddAnswer(RepetitionsQuestion, "reps", std::to_string(MaxRepetitions), true);
    RefuseTwoModels();
    RefuseCriterionSettings();
    Sweep = SweepFirst[RowSide] > 0 || SweepFirst[ColSide] > 0;
    QueueWeightAnswers(weights);
    // The run question comes back after the series; only its first asking
    // takes the argument, the next one the default: stop.
    if (ScriptedRun) AddAnswer(RunQuestion, "run", runAnswer, false);
}

bool NamedAnswersNeedData() {
    for (int n = 0; n < NumNamedAnswers; ++n)
        if (NamedAnswers[n].Asked->Limit != DataLimit::None) return true;
    return false;
}

// The cluster questions of the other mode are never asked in this run.
static bool AskedInThisRun(const Question& q) {
    if (q.Limit == DataLimit::RowClusters || q.Limit == DataLimit::ColClusters) return !OneMode;
    if (q.Limit == DataLimit::Clusters) return OneMode;
    return true;
}

// A valued criterion judges null, complete and do not care blocks only: a
// model allowing another type would be searched for something else than it
// asks, so the run stops, before anything of it is written.
static void RefuseModelOfOtherTypes() {
    if (!ValuedCriterion()) return;
    constexpr uint16_t Judged = 1 << NullType | 1 << CompleteType | 1 << DoNotCareType;
    for (int r = 1; r <= ModelRows; ++r)
        for (int c = 1; c <= ModelCols; ++c) {
            const uint16_t other = ModelMatrix[r][c] & ~Judged;
            if (other == 0) continue;
            int t = 0;
            while ((other >> t & 1) == 0) ++t;
            DropListing();
            ConMessage("The model allows %s blocks (block %d, %d): criterion=%s judges null, complete and "
                       "do not care blocks only",
                       TypeName[t], r, c, CriterionName[Criterion]);
            EndProgram(1);
        }
}

void CheckNamedAnswersAgainstData() {
    RefuseModelOfOtherTypes();
    bool colsIgnored = false;
    for (int n = 0; n < NumNamedAnswers; ++n) {
        const NamedAnswerEntry& entry = NamedAnswers[n];
        const Question& q = *entry.Asked;
        if (q.Limit == DataLimit::None) continue;
        if (!AskedInThisRun(q)) {
            colsIgnored = colsIgnored || q.Limit == DataLimit::ColClusters;
            continue;
        }
        int32_t limit = UpperBound(q);
        int32_t first = 0, number = 0;  // a range's last count is its largest
        ParseClusterCounts(entry.Text.c_str(), first, number);
        if (number <= limit) continue;
        // Nothing of this run reaches the listing.
        DropListing();
        StopOnGivenAnswer(q.Keyword, entry.Text,
                          RangeText(static_cast<int32_t>(q.Min), limit) + " for this network and model");
    }
    if (colsIgnored) ConLine("cols= ignored: one partition takes its number of clusters from rows=");
}
