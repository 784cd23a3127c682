// Writes the manual page made from the program's own --help text, at build time:
//   make-manual-page OUTPUT DATE SUMMARY
#include "app/CommandLine.h"
#include "packaging/ManualPage.h"

#include <fstream>
#include <iostream>

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::cerr << "usage: make-manual-page OUTPUT DATE SUMMARY\n";
        return 2;
    }
    std::string source = mirel::versionText();
    while (!source.empty() && source.back() == '\n')
        source.pop_back();
    const std::string page = mirel::manualPage(mirel::helpText(), {argv[3], source, argv[2]});
    if (page.empty()) {
        std::cerr << "make-manual-page: the help text does not start with \"Использование: NAME\"\n";
        return 1;
    }
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out << page;
    out.close();
    if (!out) {
        std::cerr << "make-manual-page: cannot write " << argv[1] << '\n';
        return 1;
    }
    return 0;
}
