#pragma once

#include "platform/Dialogs.h"

#include <iosfwd>

namespace platform {

// Dialogs on the terminal: the title and the text go to the output, line by line;
// a question is asked on the input (the access letter, the caption, or Enter for
// the default button). Without a terminal, or at the end of the input, the default
// button answers and the output says so.
class ConsoleDialogs : public Dialogs {
public:
    // Standard input and output; interactive when standard input is a terminal.
    ConsoleDialogs();
    ConsoleDialogs(std::istream &in, std::ostream &out, bool interactive);

    int Show(const DialogRequest &request) override;

private:
    std::istream &in_;
    std::ostream &out_;
    bool interactive_;
};

} // namespace platform
