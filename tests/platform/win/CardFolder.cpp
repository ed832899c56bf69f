#include "CardFolder.h"

#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace win_test {

void CardFolder::WriteFile(const std::string& relative, const std::string& bytes) const
{
    const std::filesystem::path p = std::filesystem::path(Root()) / relative;
    std::filesystem::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out << bytes;
}

void CardFolder::MakeFolder(const std::string& relative) const
{
    std::filesystem::create_directories(std::filesystem::path(Root()) / relative);
}

std::string CardFolder::Read(const std::string& relative) const
{
    std::ifstream in(std::filesystem::path(Root()) / relative, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

bool CardFolder::Exists(const std::string& relative) const
{
    struct stat st {};
    return lstat((Root() + "/" + relative).c_str(), &st) == 0;
}

void CardFolder::SetReadOnly(const std::string& relative, bool readOnly) const
{
    chmod((Root() + "/" + relative).c_str(), readOnly ? 0444 : 0644);
}

} // namespace win_test
