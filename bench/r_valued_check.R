# The valued criteria against R's blockmodeling package, used as a black box
# (bench/r_valued_check.sh runs it):
#   Rscript r_valued_check.R KORVEL DATA_DIR WORK_DIR CASES REPS
# 1. For CASES random valued matrices (two-mode and one-mode; positive reals,
#    counts and signed values) and the valued files of DATA_DIR, with random
#    partitions: the error korvel reports for the partition (read from a
#    partition file, run=1) against critFunC's, approaches "hom" with homFun
#    "ss" or "ad", and "val" with preSpecM, diagonal cells as any other
#    (diag = 0). A two-mode matrix goes into the upper right quadrant of a
#    square one, rows and columns separate clusters: the other blocks hold
#    only zeros and cost nothing, as null or as complete blocks.
# 2. Korvel's best of REPS repetitions against optRandomParC's best of REPS
#    starts, on some of the same networks.
args <- commandArgs(trailingOnly = TRUE)
korvel <- args[1]
data_dir <- args[2]
work <- args[3]
cases <- as.integer(args[4])
reps <- as.integer(args[5])
suppressMessages(library(blockmodeling))
set.seed(20261208)

write_net <- function(path, M, two_mode) {
    header <- if (two_mode) sprintf("*Vertices %d %d", nrow(M) + ncol(M), nrow(M)) else sprintf("*Vertices %d", nrow(M))
    lines <- apply(M, 1, function(r) paste(sprintf("%.17g", r), collapse = " "))
    writeLines(c(header, "*Matrix", lines), path)
}

# Korvel numbers the column clusters after the row clusters.
write_zep <- function(path, rc, cc) {
    writeLines(c("*partition check", sprintf("*vertices %d %d %d", length(rc) + length(cc), length(rc), length(cc)),
                 rc, cc + max(rc)), path)
}

criterion_args <- function(criterion, m) {
    c(sprintf("criterion=%s", criterion), if (criterion == "val") sprintf("m=%.17g", m))
}

# Runs korvel in a folder of its own; gives the folder.
run_korvel <- function(M, two_mode, arguments, rc = NULL, cc = NULL) {
    dir <- tempfile("case", tmpdir = work)
    dir.create(dir)
    write_net(file.path(dir, "x.net"), M, two_mode)
    if (!is.null(rc)) write_zep(file.path(dir, "x.zep"), rc, cc)
    old <- setwd(dir)
    status <- system2(korvel, c("net=x.net", "blocks=null,com", "lst=x.lst", arguments),
                      stdout = "console.txt", stderr = "console.txt", stdin = "/dev/null")
    setwd(old)
    if (status != 0) stop(paste("korvel failed in", dir))
    dir
}

korvel_partition_error <- function(M, two_mode, rc, cc, criterion, m) {
    sides <- if (two_mode) c(sprintf("rows=%d", max(rc)), sprintf("cols=%d", max(cc))) else
        c(sprintf("rows=%d", max(rc)), "onemode=1")
    dir <- run_korvel(M, two_mode, c("zep=x.zep", "run=1", sides, criterion_args(criterion, m)), rc,
                      if (two_mode) cc else rc)
    line <- grep("initial error =", readLines(file.path(dir, "x.lst")), value = TRUE)[1]
    unlink(dir, recursive = TRUE)
    as.numeric(sub(".*=", "", line))
}

korvel_best_error <- function(M, two_mode, kr, kc, criterion, m) {
    sides <- if (two_mode) c(sprintf("rows=%d", kr), sprintf("cols=%d", kc)) else c(sprintf("rows=%d", kr), "onemode=1")
    dir <- run_korvel(M, two_mode, c(sprintf("reps=%d", reps), "seed=1", sides, criterion_args(criterion, m)))
    json <- readLines(file.path(dir, "x.json"))
    line <- grep("\"error\":", json, value = TRUE)[1]  # rank 1 comes first
    unlink(dir, recursive = TRUE)
    as.numeric(sub(",$", "", sub(".*: ", "", line)))
}

embedded <- function(M) {
    B <- matrix(0, nrow(M) + ncol(M), nrow(M) + ncol(M))
    B[1:nrow(M), nrow(M) + 1:ncol(M)] <- M
    B
}

r_settings <- function(criterion, m) {
    if (criterion == "val") list(approaches = "val", preSpecM = m, usePreSpecM = TRUE)
    else list(approaches = "hom", homFun = criterion)
}

r_partition_error <- function(M, two_mode, rc, cc, criterion, m) {
    network <- if (two_mode) list(M = embedded(M), clu = list(rc, cc)) else list(M = M, clu = rc)
    do.call(critFunC, c(network, list(blocks = c("nul", "com"), diag = 0), r_settings(criterion, m)))$err
}

r_best_error <- function(M, two_mode, kr, kc, criterion) {
    network <- if (two_mode) list(M = embedded(M), k = c(kr, kc), n = c(nrow(M), ncol(M))) else list(M = M, k = kr)
    res <- do.call(optRandomParC, c(network, list(blocks = c("nul", "com"), diag = 0, rep = reps, seed = 1,
                                                  printRep = FALSE, nCores = 1), r_settings(criterion, m_of[[criterion]])))
    err(res)
}

# A partition of n units into k clusters, none empty.
random_partition <- function(n, k) sample(c(1:k, sample(1:k, n - k, replace = TRUE)))

random_matrix <- function(rows, cols, kind) {
    density <- runif(1, 0.15, 0.9)
    values <- switch(kind,
        reals = round(runif(rows * cols, 0.01, 5), sample(c(2, 4, 15), 1)),
        counts = rpois(rows * cols, 2) + 1,
        signed = round(runif(rows * cols, -3, 4), 3))
    matrix(values * (runif(rows * cols) < density), rows, cols)
}

# The edges and arcs of a network file: both cells for an edge, the last
# setting of a cell counting.
read_valued_net <- function(path) {
    lines <- sub("\r$", "", readLines(path, warn = FALSE))
    n <- as.integer(strsplit(trimws(sub("^\\*vertices", "", grep("^\\*vertices", lines, ignore.case = TRUE,
                                                                  value = TRUE)[1], ignore.case = TRUE)), "[ \t]+")[[1]][1])
    M <- matrix(0, n, n)
    mode <- ""
    for (line in lines) {
        if (grepl("^\\*", line)) {
            mode <- tolower(sub("^\\*([A-Za-z]+).*", "\\1", line))
            next
        }
        if (!(mode %in% c("edges", "arcs")) || !nzchar(trimws(line))) next
        f <- strsplit(trimws(line), "[ \t]+")[[1]]
        i <- as.integer(f[1]); j <- as.integer(f[2]); w <- if (length(f) >= 3) as.numeric(f[3]) else 1
        M[i, j] <- w
        if (mode == "edges") M[j, i] <- w
    }
    M
}

relative <- function(a, b) abs(a - b) / max(abs(b), 1e-300)
worst <- 0
checked <- 0
report_case <- function(name, M, two_mode, rc, cc, criterion, m) {
    k <- korvel_partition_error(M, two_mode, rc, cc, criterion, m)
    r <- r_partition_error(M, two_mode, rc, cc, criterion, m)
    d <- if (r == 0 && k == 0) 0 else relative(k, r)
    worst <<- max(worst, d)
    checked <<- checked + 1
    if (d > 1e-9) cat(sprintf("DIFFERENT %s %s: korvel %.17g, R %.17g\n", name, criterion, k, r))
}

# 1. Partitions.
m_of <- list()
kinds <- c("reals", "counts", "signed")
for (case in seq_len(cases)) {
    two_mode <- case %% 2 == 0
    rows <- sample(4:30, 1)
    cols <- if (two_mode) sample(4:30, 1) else rows
    kind <- kinds[case %% 3 + 1]
    M <- random_matrix(rows, cols, kind)
    rc <- random_partition(rows, sample(2:min(4, rows), 1))
    cc <- if (two_mode) random_partition(cols, sample(2:min(4, cols), 1)) else rc
    for (criterion in c("ss", "ad", "val")) {
        if (criterion == "val" && kind == "signed") next
        m <- if (criterion == "val") as.numeric(sample(c(1, 2.5, median(M[M > 0])), 1)) else 0
        report_case(sprintf("random %d (%s, %s)", case, if (two_mode) "two-mode" else "one-mode", kind), M,
                    two_mode, rc, cc, criterion, m)
    }
}
files <- c("dolphins_w.net", "ussr_jaccard_realweights_loops.net", "gang.net")
for (file in files) {
    M <- read_valued_net(file.path(data_dir, file))
    for (k in 2:4) {
        rc <- random_partition(nrow(M), k)
        for (criterion in c("ss", "ad", "val"))
            report_case(file, M, FALSE, rc, rc, criterion, if (criterion == "val") mean(M[M > 0]) else 0)
    }
}
cat(sprintf("partitions: %d errors compared, largest relative difference %.3g\n", checked, worst))

# 2. Best of REPS.
optimized <- list(
    list(name = "ussr_jaccard_realweights_loops.net, 3 clusters", M = read_valued_net(file.path(data_dir, files[2])),
         two_mode = FALSE, kr = 3, kc = 3),
    list(name = "dolphins_w.net, 2 clusters", M = read_valued_net(file.path(data_dir, files[1])), two_mode = FALSE,
         kr = 2, kc = 2),
    list(name = "random two-mode 20 x 15 reals, 3 x 2 clusters", M = random_matrix(20, 15, "reals"), two_mode = TRUE,
         kr = 3, kc = 2),
    list(name = "random one-mode 25 signed, 3 clusters", M = random_matrix(25, 25, "signed"), two_mode = FALSE,
         kr = 3, kc = 3))
worse <- 0
for (case in optimized) {
    for (criterion in c("ss", "ad", "val")) {
        if (criterion == "val" && any(case$M < 0)) next
        m_of <- list(ss = 0, ad = 0, val = mean(case$M[case$M > 0]))
        k <- korvel_best_error(case$M, case$two_mode, case$kr, case$kc, criterion, m_of$val)
        r <- r_best_error(case$M, case$two_mode, case$kr, case$kc, criterion)
        verdict <- if (k <= r * (1 + 1e-9) + 1e-12) "ok" else "WORSE"
        if (verdict != "ok") worse <- worse + 1
        cat(sprintf("best of %d: %s, %s: korvel %.10g, R %.10g %s\n", reps, case$name, criterion, k, r, verdict))
    }
}
cat(sprintf("best of %d: %d cases where korvel is worse\n", reps, worse))
