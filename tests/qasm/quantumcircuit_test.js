// Holds Amplex against quantum-circuit, an OpenQASM simulator from the npm registry that nobody
// here wrote, in both directions:
//  1. random circuits run by `amplex --run`, exported by Amplex (--print qasm2) and run in the
//     package: the probabilities agree to 1e-9;
//  2. random circuits built in the package and written by its own OpenQASM exporter, run by
//     `amplex --run`: the probabilities agree to 1e-9.
// Usage: node quantumcircuit_test.js AMPLEX NODE_MODULES. Exit 77 (skipped) without the package.
"use strict";
const { execFileSync } = require("child_process");
const fs = require("fs");
const os = require("os");
const path = require("path");

const [amplex, modules] = process.argv.slice(2);
let QuantumCircuit;
try {
    QuantumCircuit = require(path.join(modules, "quantum-circuit"));
} catch (e) {
    console.log(`quantum-circuit is not installed in ${modules}: skipped`);
    process.exit(77);
}

// A fixed seed: a failure comes back on the next run.
let seed = 20261207;
function random() {
    seed = (seed + 0x6d2b79f5) | 0;
    let t = Math.imul(seed ^ (seed >>> 15), 1 | seed);
    t = (t + Math.imul(t ^ (t >>> 7), 61 | t)) ^ t;
    return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
}
const below = (n) => Math.floor(random() * n);
// k distinct qubits of n.
function qubits(n, k) {
    const all = [...Array(n).keys()];
    for (let i = 0; i < k; ++i) {
        const j = i + below(n - i);
        [all[i], all[j]] = [all[j], all[i]];
    }
    return all.slice(0, k);
}

const dir = fs.mkdtempSync(path.join(os.tmpdir(), "amplex-qc-"));
function runAmplex(program, print) {
    const file = path.join(dir, "circuit.qasm");
    fs.writeFileSync(file, program);
    return execFileSync(amplex, ["--run", file, "--print", print], { encoding: "utf8" });
}
// Probabilities of all 2^n basis states from Amplex's "|bits> p" lines.
function amplexProbabilities(program, n) {
    const p = new Array(2 ** n).fill(0);
    for (const line of runAmplex(program, "probabilities").trim().split("\n")) {
        const [ket, value] = line.split(" ");
        p[parseInt(ket.slice(1, -1), 2)] = Number(value);
    }
    return p;
}
function packageProbabilities(circuit) {
    circuit.run();
    const p = new Array(2 ** circuit.numQubits).fill(0);
    for (const [index, a] of Object.entries(circuit.state)) {
        p[Number(index)] = a.re * a.re + a.im * a.im;
    }
    return p;
}

let failures = 0;
function compare(what, program, expected, actual) {
    const worst = Math.max(...expected.map((e, i) => Math.abs(e - actual[i])));
    if (!(worst <= 1e-9) || expected.length !== actual.length) {
        ++failures;
        console.log(`FAIL ${what}: probabilities differ by ${worst}\n${program}`);
    }
}

// 1. Amplex's export, run in the package. The controlled rotation's step keeps 5 digits of
//    its angle, so it gets the angles pi / 2^k that the export rebuilds exactly.
const amplexGates = [
    ["h", 1], ["x", 1], ["y", 1], ["z", 1], ["s", 1], ["sdg", 1], ["t", 1], ["tdg", 1],
    ["p", 1, 1], ["rx", 1, 1], ["ry", 1, 1], ["rz", 1, 1], ["cx", 2], ["cz", 2], ["ch", 2],
    ["swap", 2], ["ccx", 3], ["cp", 2, "pi"],
];
for (let round = 0; round < 30; ++round) {
    const n = 1 + (round % 8);
    let program = `OPENQASM 3.0;\ninclude "stdgates.inc";\nqubit[${n}] q;\n`;
    for (let g = 0; g < 4 * n; ++g) {
        const usable = amplexGates.filter(([, k]) => k <= n);
        const [name, k, angle] = usable[below(usable.length)];
        const args = angle === "pi" ? `(${random() < 0.5 ? "-" : ""}pi/${2 ** below(5)})`
                   : angle ? `(${(random() * 8 - 4).toFixed(6)})` : "";
        program += `${name}${args} ${qubits(n, k).map((q) => `q[${q}]`).join(", ")};\n`;
    }
    const exported = runAmplex(program, "qasm2");
    const circuit = new QuantumCircuit();
    circuit.importQASM(exported, (errors) => {
        if (errors.length) {
            ++failures;
            console.log(`FAIL the package refuses Amplex's export: ${JSON.stringify(errors)}\n${exported}`);
        }
    });
    compare("Amplex export in quantum-circuit", exported, amplexProbabilities(program, n),
            packageProbabilities(circuit));
}

// 2. The package's own export, run by Amplex.
const packageGates = [
    ["h", 1], ["x", 1], ["y", 1], ["z", 1], ["s", 1], ["sdg", 1], ["t", 1], ["tdg", 1],
    ["u1", 1, "lambda"], ["rx", 1, "theta"], ["ry", 1, "theta"], ["rz", 1, "phi"], ["cx", 2],
    ["cz", 2], ["ch", 2], ["cu1", 2, "lambda"], ["swap", 2], ["ccx", 3],
];
for (let round = 0; round < 30; ++round) {
    const n = 1 + (round % 8);
    const circuit = new QuantumCircuit(n);
    for (let column = 0; column < 4 * n; ++column) {
        const usable = packageGates.filter(([, k]) => k <= n);
        const [name, k, param] = usable[below(usable.length)];
        const options = param ? { params: { [param]: random() * 2 * Math.PI } } : {};
        circuit.addGate(name, column, k === 1 ? below(n) : qubits(n, k), options);
    }
    const program = circuit.exportToQASM({ compatibilityMode: true });
    compare("quantum-circuit export in Amplex", program, packageProbabilities(circuit),
            amplexProbabilities(program, n));
}

fs.rmSync(dir, { recursive: true, force: true });
if (failures) {
    console.log(`${failures} of 60 circuits differ`);
    process.exit(1);
}
console.log("60 circuits agree with quantum-circuit to 1e-9");
