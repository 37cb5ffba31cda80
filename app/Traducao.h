#pragma once

// Unit Traducao: the Portuguese titles and button captions of the standard
// message dialogs. They are put in place while the program loads, before any
// dialog can appear, and stay for the whole run.

// Puts the Portuguese texts into the standard dialog texts. Runs by itself at
// load; main() calls it first as well, because the linker leaves out an object
// file of a static library that nothing references (and its load-time code with
// it). Calling it again changes nothing.
void Traducao_Carrega();
