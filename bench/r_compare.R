# Times one random start of R's blockmodeling::optRandomParC on a two-mode
# Pajek network, for comparing speed and final error with korvel's search.
#   Rscript r_compare.R NET.net ROW_CLUSTERS COL_CLUSTERS [SEED [PARTITION.zep]]
# With a partition file (korvel-planted's partition=) it also prints R's error
# for that partition, which must equal the "planted error" korvel-planted
# printed: otherwise the two programs do not count the same criterion.
suppressPackageStartupMessages(library(blockmodeling))

args <- commandArgs(trailingOnly = TRUE)
if (length(args) < 3) stop("usage: r_compare.R NET.net ROW_CLUSTERS COL_CLUSTERS [SEED [PARTITION.zep]]")
k <- as.integer(args[2:3])
seed <- if (length(args) >= 4) as.integer(args[4]) else 1L

# "*Vertices N ROWS": columns are numbered after the rows; every line after
# *Arcs or *Edges is "row column [value]".
lines <- readLines(args[1])
counts <- as.integer(strsplit(trimws(lines[1]), "[[:space:]]+")[[1]][2:3])
rows <- counts[2]
cols <- counts[1] - rows
first_tie <- grep("^\\*(arcs|edges)", lines, ignore.case = TRUE)[1] + 1
ties <- if (first_tie <= length(lines)) lines[first_tie:length(lines)] else character(0)
ties <- ties[nzchar(trimws(ties))]
ends <- scan(text = ties, what = list(0L, 0L), flush = TRUE, quiet = TRUE)
M <- matrix(0L, rows, cols)
M[cbind(ends[[1]], ends[[2]] - rows)] <- 1L
cat(sprintf("network = %d x %d, %d ties\n", rows, cols, sum(M)))

# diag = 0: the matrix may be square, but a two-mode network has no diagonal.
if (length(args) >= 5) {
    zep <- readLines(args[5])
    clusters <- as.integer(trimws(zep[-(1:2)]))
    # Column clusters are numbered after the row clusters there; R wants 1..k per side.
    planted <- lapply(list(clusters[1:rows], clusters[rows + 1:cols]), function(x) match(x, sort(unique(x))))
    # critFunC gives NaN for a non-square matrix, so it gets the two-mode
    # network inside a one-mode one, as optParC does: the added blocks hold
    # no ties and cost nothing as null blocks.
    B <- matrix(0L, rows + cols, rows + cols)
    B[1:rows, rows + 1:cols] <- M
    planted_err <- critFunC(B, planted, approaches = "bin", blocks = c("nul", "com"), diag = 0)$err
    cat(sprintf("R planted error = %d\n", as.integer(planted_err)))
}

wall <- system.time(
    res <- optRandomParC(M, k = k, approaches = "bin", blocks = c("nul", "com"), rep = 1,
                         seed = seed, nCores = 1, diag = 0, printRep = FALSE)
)[["elapsed"]]
image <- IM(res)
cat(sprintf("R wall = %.1f s\n", wall))
cat(sprintf("R error = %d\n", as.integer(err(res))))
# Two-mode networks come back as one-mode images whose upper right quadrant
# holds the blocks of rows with columns.
if (length(dim(image)) == 3) image <- image[1, , ]
if (nrow(image) == sum(k)) image <- image[1:k[1], k[1] + 1:k[2]]
cat(sprintf("R blocks = %d com, %d nul\n", sum(image == "com"), sum(image == "nul")))
