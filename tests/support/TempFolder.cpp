#include "tests/support/TempFolder.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <sys/stat.h>

namespace test_support {

TempFolder::TempFolder(const std::string& prefix)
{
    std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("mkdtemp failed for " + pattern);
    path_ = pattern;
}

TempFolder::~TempFolder()
{
    // A test may have made folders read-only; open each before it is entered
    // so that everything below can go.
    namespace fs = std::filesystem;
    std::error_code ec;
    chmod(path_.c_str(), 0755);
    for (auto it = fs::recursive_directory_iterator(path_, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec))
        if (std::error_code kind; it->is_directory(kind) && !it->is_symlink(kind))
            chmod(it->path().c_str(), 0755);
    fs::remove_all(path_, ec);
}

} // namespace test_support
