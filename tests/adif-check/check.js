// Exports each case's log to ADIF with cardel-export and reads the result
// back with adif-parser-ts, an ADIF reader that shares no code with ours.
// Usage: node check.js CARDEL_EXPORT CASE.json...
'use strict';

const { spawnSync } = require('child_process');
const fs = require('fs');
const path = require('path');
const { AdifParser } = require('adif-parser-ts');

const root = path.resolve(__dirname, '..', '..');
// Enumerations (BAND, MODE) are case-insensitive in ADIF; serials are integers.
const sameValue = {
  band: (a, b) => a.toLowerCase() === b.toLowerCase(),
  mode: (a, b) => a.toLowerCase() === b.toLowerCase(),
  stx: (a, b) => /^\d+$/.test(a) && Number(a) === Number(b),
  srx: (a, b) => /^\d+$/.test(a) && Number(a) === Number(b),
};

function compareFields(where, actual, expected, absent, problems) {
  for (const [name, want] of Object.entries(expected)) {
    const key = name.toLowerCase();
    const got = actual[key];
    const same = sameValue[key] || ((a, b) => a === b);
    if (got === undefined) problems.push(`${where}: ${name} missing, expected "${want}"`);
    else if (!same(got, want)) problems.push(`${where}: ${name} is "${got}", expected "${want}"`);
  }
  for (const name of absent || []) {
    if (actual[name.toLowerCase()] !== undefined)
      problems.push(`${where}: ${name} should be absent, is "${actual[name.toLowerCase()]}"`);
  }
}

function checkCase(program, casePath) {
  const testCase = JSON.parse(fs.readFileSync(casePath, 'utf8'));
  const name = path.basename(casePath, '.json');
  const args = ['--format', 'adif', ...testCase.arguments, path.join(root, testCase.log)];
  const run = spawnSync(program, args);
  const output = run.stdout.toString('latin1');
  const problems = [];
  if (run.status !== testCase.exitStatus)
    problems.push(`exit status ${run.status}, expected ${testCase.exitStatus}: ${run.stderr}`);
  if (!/^[\x00-\x7f]*$/.test(output)) problems.push('the output is not ASCII');

  let adif = {};
  try {
    adif = AdifParser.parseAdi(output);
  } catch (error) {
    problems.push(`the reader refused the file: ${error.message}`);
  }
  compareFields('header', adif.header || {}, testCase.header, [], problems);
  const records = adif.records || [];
  if (records.length !== testCase.records.length)
    problems.push(`${records.length} records, expected ${testCase.records.length}`);
  testCase.records.forEach((expected, i) => {
    if (records[i]) compareFields(`record ${i + 1}`, records[i], expected, testCase.absent, problems);
  });

  if (problems.length === 0) {
    console.log(`${name}: ${records.length} records read back as expected`);
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
