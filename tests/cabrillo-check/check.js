// Exports each case's log to Cabrillo with cardel-export and reads the result
// back with @ham2k/lib-qson-cabrillo, a Cabrillo reader that shares no code
// with ours. The reader picks the exchange's columns from the contest name, so
// every QSO line must have the columns that name means to it.
// Usage: node check.js CARDEL_EXPORT CASE.json...
'use strict';

const { spawnSync } = require('child_process');
const fs = require('fs');
const path = require('path');
const { cabrilloToQSON } = require('@ham2k/lib-qson-cabrillo');

const root = path.resolve(__dirname, '..', '..');

// "their.call" -> qso.their.call
function valueAt(object, dotted) {
  return dotted.split('.').reduce((value, key) => (value === undefined ? undefined : value[key]), object);
}

function compare(where, actual, expected, problems) {
  for (const [name, want] of Object.entries(expected)) {
    const got = valueAt(actual, name);
    if (got === undefined) problems.push(`${where}: ${name} missing, expected "${want}"`);
    else if (String(got) !== String(want)) problems.push(`${where}: ${name} is "${got}", expected "${want}"`);
  }
}

function checkCase(program, casePath) {
  const testCase = JSON.parse(fs.readFileSync(casePath, 'utf8'));
  const name = path.basename(casePath, '.json');
  const args = ['--format', 'cabrillo', ...testCase.arguments, path.join(root, testCase.log)];
  const run = spawnSync(program, args);
  const output = run.stdout.toString('latin1');
  const problems = [];
  if (run.status !== testCase.exitStatus)
    problems.push(`exit status ${run.status}, expected ${testCase.exitStatus}: ${run.stderr}`);
  if (!/^[\x20-\x7e\r\n]*$/.test(output)) problems.push('the output is not printable ASCII');
  if (!testCase.errorHas.every((text) => run.stderr.toString('utf8').includes(text)))
    problems.push(`standard error lacks ${JSON.stringify(testCase.errorHas)}: ${run.stderr}`);

  // The reader takes a shorter line's last column for the transmitter and a
  // longer line's for the next field, so the column count is checked here.
  const lines = output.split('\r\n').filter((line) => line.startsWith('QSO: '));
  lines.forEach((line, i) => {
    const columns = line.slice(5).split(' ').length;
    if (columns !== testCase.columns)
      problems.push(`QSO line ${i + 1} has ${columns} columns, expected ${testCase.columns}`);
  });

  let log = {};
  try {
    log = cabrilloToQSON(output);
  } catch (error) {
    problems.push(`the reader refused the file: ${error.message}`);
  }
  compare('header', log.rawHeaders || {}, testCase.header, problems);
  const qsos = log.qsos || [];
  if (qsos.length !== testCase.qsos.length)
    problems.push(`${qsos.length} QSO lines, expected ${testCase.qsos.length}`);
  testCase.qsos.forEach((expected, i) => {
    if (qsos[i]) compare(`QSO ${i + 1}`, qsos[i], { ...testCase.every, ...expected }, problems);
  });

  if (problems.length === 0) {
    console.log(`${name}: ${qsos.length} QSO lines read back as expected`);
    return true;
  }
  console.log(`${name}: FAILED`);
  for (const problem of problems) console.log(`  ${problem}`);
  return false;
}

const [program, ...cases] = process.argv.slice(2);
if (!program || cases.length === 0) {
  console.error('usage: node check.js CARDEL_EXPORT CASE.json...');
  process.exit(2);
}
const results = cases.map((c) => checkCase(program, c));
process.exit(results.every(Boolean) ? 0 : 1);
