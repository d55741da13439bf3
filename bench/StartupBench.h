#pragma once

// Start-up of kaldor-config against a bare Qt window, and the catalogue's
// share of it with the shipped catalogue and with a generated large one.
void RunStartupBench(int runs);
