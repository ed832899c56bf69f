// What the printing tests share: poppler's view of a written PDF (its tools
// are run as commands; a test skips without them), a printer back end
// installed for a test's lifetime and a fresh output folder.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/vcl/Printer.h"
#include "platform/vcl/PrinterBackend.h"

namespace print_test {

inline std::string Shell(const std::string& command)
{
    std::string out;
    if (FILE* pipe = popen((command + " 2>&1").c_str(), "r")) {
        char buffer[4096];
        std::size_t n = 0;
        while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
            out.append(buffer, n);
        pclose(pipe);
    }
    return out;
}

inline bool HavePoppler()
{
    return std::system("command -v pdfinfo >/dev/null 2>&1 && command -v pdfimages >/dev/null 2>&1 && "
                       "command -v pdftoppm >/dev/null 2>&1") == 0;
}

inline std::string Slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

// One value of pdfinfo's "Key: value" lines.
inline std::string Info(const std::string& pdf, const std::string& key)
{
    std::istringstream lines(Shell("pdfinfo '" + pdf + "'"));
    for (std::string line; std::getline(lines, line);)
        if (line.rfind(key + ":", 0) == 0) {
            const std::size_t start = line.find_first_not_of(' ', key.size() + 1);
            return start == std::string::npos ? "" : line.substr(start);
        }
    return "";
}

struct Image {
    int width = 0;
    int height = 0;
    std::string encoding;
};

// pdfimages -list: two header lines, then page num type width height color
// comp bpc enc ...
inline std::vector<Image> Images(const std::string& pdf)
{
    std::istringstream lines(Shell("pdfimages -list '" + pdf + "'"));
    std::vector<Image> images;
    std::string line;
    std::getline(lines, line);
    std::getline(lines, line);
    while (std::getline(lines, line)) {
        std::istringstream row(line);
        int page = 0, num = 0, comp = 0, bpc = 0;
        std::string type, color;
        Image image;
        if (row >> page >> num >> type >> image.width >> image.height >> color >> comp >> bpc >> image.encoding)
            images.push_back(image);
    }
    return images;
}

// Installs a printer back end for the test's lifetime.
class UsePrinter {
public:
    explicit UsePrinter(vcl::PrinterBackend* backend) : FPrevious(vcl::InstallPrinterBackend(backend)) {}
    ~UsePrinter()
    {
        if (vcl::Printer()->Printing())
            vcl::Printer()->Abort();
        vcl::InstallPrinterBackend(FPrevious);
    }

private:
    vcl::PrinterBackend* FPrevious;
};

inline std::string PrintFolder(const std::string& name)
{
    const std::string folder = std::string(VM_BINARY_DIR) + "/test_output/printing/" + name;
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder;
}

} // namespace print_test
