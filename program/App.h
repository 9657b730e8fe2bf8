#pragma once
// The one assembly of the program: every form in the form registry and every
// seam through which a lower layer calls a higher one, the same for the
// executable and for the end-to-end tests. A new form is registered in its
// folder's registration function, which registerForms calls; a new seam is
// installed in installSeams.

namespace App {

// Registers every form of the program.
void registerForms();
// Installs the dispatch's event rules, history and printer, the
// engine's seams, the serial port factory and the bus clock.
void installSeams();
// Both, after the error handler and the captions' text source.
void assemble();

} // namespace App
