// ConsoleWindow: boxes become lines; OK is the answer to every question.
#include "ConsoleWindow.h"

#include <iostream>

MessageBoxResult ConsoleWindow::messageBox(const std::string& text, const std::string& title, MessageBoxButtons,
                                           MessageBoxIcon)
{
    std::cout << "[" << title << "] " << text << std::endl;
    return MessageBoxResult::Ok;
}
