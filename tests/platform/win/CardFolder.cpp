#include "CardFolder.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/stat.h>

namespace win_test {

CardFolder::CardFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "vm-card-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    root_ = pattern;
}

CardFolder::~CardFolder()
{
    std::error_code ec;
    // Read-only entries would stop nothing for root, but be tidy anyway.
    for (auto it = std::filesystem::recursive_directory_iterator(root_, ec);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
        chmod(it->path().c_str(), 0755);
    std::filesystem::remove_all(root_, ec);
}

void CardFolder::WriteFile(const std::string& relative, const std::string& bytes) const
{
    const std::filesystem::path p = std::filesystem::path(root_) / relative;
    std::filesystem::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out << bytes;
}

void CardFolder::MakeFolder(const std::string& relative) const
{
    std::filesystem::create_directories(std::filesystem::path(root_) / relative);
}

std::string CardFolder::Read(const std::string& relative) const
{
    std::ifstream in(std::filesystem::path(root_) / relative, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

bool CardFolder::Exists(const std::string& relative) const
{
    struct stat st {};
    return lstat((root_ + "/" + relative).c_str(), &st) == 0;
}

void CardFolder::SetReadOnly(const std::string& relative, bool readOnly) const
{
    chmod((root_ + "/" + relative).c_str(), readOnly ? 0444 : 0644);
}

} // namespace win_test
