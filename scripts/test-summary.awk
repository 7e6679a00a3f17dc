# Reads the JUnit file that ctest --output-junit writes and prints one line per
# result, tab-separated: the result, the test's name, a detail.
#   pass   a test that passed
#   dev    a test that passed and printed "WINE DEVIATION: <name>" (detail: the names)
#   skip   a test that did not run by choice (detail: why; a test that stands
#          for a suite that cannot run here prints "not run: <why>")
#   fail   a test that failed or could not run (detail: why, when known)
# A ctest test whose output holds GoogleTest's own case lines (a whole gtest
# program run as one test, such as the end-to-end suite) counts by its cases,
# named "<test>: <case>"; a test of one case keeps the ctest name. The
# passed tests' output must not be cut short (ctest --test-output-size-passed).
# Plain POSIX awk (Debian's mawk).

function unescape(s) {
    gsub(/&lt;/, "<", s); gsub(/&gt;/, ">", s); gsub(/&quot;/, "\"", s); gsub(/&apos;/, "'", s)
    gsub(/&amp;/, "\\&", s)
    return s
}

function attribute(line, key,    start, rest) {
    start = index(line, key "=\"")
    if (start == 0) return ""
    rest = substr(line, start + length(key) + 2)
    return unescape(substr(rest, 1, index(rest, "\"") - 1))
}

# "[  FAILED  ] Suite.Case, where GetParam() = x (12 ms)" -> "Suite.Case"
function case_name(line,    name) {
    name = substr(line, 14)
    sub(/ \([0-9]+ ms\)$/, "", name)
    sub(/, where (GetParam|TypeParam)\(?\)? = .*$/, "", name)
    return name
}

function start_case(name) {
    if (!(name in state)) { order[++cases] = name }
    state[name] = "running"
    current = name
}

function end_case(name, result) {
    if (!(name in state)) { order[++cases] = name }
    state[name] = result
    last = name
    current = ""
}

function emit(result, name, detail) {
    printf "%s\t%s\t%s\n", result, name, detail
}

function output_line(s,    owner) {
    s = unescape(s)
    if (s ~ /^\[ RUN      \] /) { start_case(substr(s, 14)); return }
    if (s ~ /^\[       OK \] .* \([0-9]+ ms\)$/) { end_case(case_name(s), "pass"); return }
    if (s ~ /^\[  SKIPPED \] .* \([0-9]+ ms\)$/) { end_case(case_name(s), "skip"); return }
    if (s ~ /^\[  FAILED  \] .* \([0-9]+ ms\)$/) { end_case(case_name(s), "fail"); return }
    if (s ~ /^not run: /) { not_run = substr(s, 10); return }
    if (want_reason) { reasons[current] = s; want_reason = 0 }  # the line after GoogleTest's "Skipped"
    if (s ~ /: Skipped$/) want_reason = 1
    if (s ~ /^WINE DEVIATION: /) {
        owner = current != "" ? current : last
        add_deviation(owner, substr(s, 17))
    }
}

function add_deviation(owner, name) {
    if (owner in deviations) deviations[owner] = deviations[owner] "; " name
    else deviations[owner] = name
}

function finish(    i, name, shown, failed, result) {
    if (status == "disabled" || (status == "notrun" && skipped ~ /^SKIP_/)) {
        if (not_run != "") emit("skip", test, not_run)
        else emit("skip", test, cases == 1 && (order[1] in reasons) ? reasons[order[1]] : skipped)
        return
    }
    if (status == "notrun") { emit("fail", test, skipped); return }
    failed = 0
    if (cases > 0 && ("" in deviations)) add_deviation(order[1], deviations[""])  # printed outside every case
    for (i = 1; i <= cases; i++) {
        name = order[i]
        shown = cases == 1 ? test : test ": " name
        result = state[name] == "running" ? "fail" : state[name]
        if (result == "pass" && (name in deviations)) { emit("dev", shown, deviations[name]); continue }
        if (result == "fail") failed++
        emit(result, shown, result == "skip" && (name in reasons) ? reasons[name] : "")
    }
    if (cases == 0) {
        if (status == "fail") { emit("fail", test, ""); return }
        if ("" in deviations) emit("dev", test, deviations[""])
        else emit("pass", test, "")
        return
    }
    if (status == "fail" && failed == 0) emit("fail", test, "ended badly")
}

/<testcase / {
    test = attribute($0, "name"); status = attribute($0, "status")
    skipped = ""; not_run = ""; want_reason = 0; in_output = 0
    cases = 0; current = ""; last = ""
    split("", order); split("", state); split("", deviations); split("", reasons)
    next
}
/<skipped / && !in_output { skipped = attribute($0, "message"); next }
/<system-out>/ && !in_output {
    in_output = 1
    line = substr($0, index($0, "<system-out>") + 12)
    if (index(line, "</system-out>") != 0) { in_output = 0; sub(/<\/system-out>.*$/, "", line) }
    if (line != "") output_line(line)
    next
}
in_output {
    if (index($0, "</system-out>") != 0) {
        in_output = 0
        line = $0
        sub(/<\/system-out>.*$/, "", line)
        if (line != "") output_line(line)
    } else {
        output_line($0)
    }
    next
}
/<\/testcase>/ { finish() }
