// Two qubits in a Bell state: measured, they always agree.
OPENQASM 3.0;
include "stdgates.inc";
qubit[2] q;
h q[0];         // q[0] in an equal superposition
cx q[0], q[1];  // q[1] follows q[0]
