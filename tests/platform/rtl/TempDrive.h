// A temporary host folder mapped as drive T: for the tests of this folder,
// with helpers to read and write its files as bytes.
#pragma once

#include "platform/win/DriveTable.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace rtltest {

class TempDrive : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "rtl-test-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        root_ = pattern;
        win::DriveTable::Instance().SetDrive(u'T', root_);
    }
    void TearDown() override
    {
        win::DriveTable::Instance().Forget(u'T');
        std::error_code ec;
        std::filesystem::permissions(root_, std::filesystem::perms::owner_all, ec);
        std::filesystem::remove_all(root_, ec);
    }

    std::string Host(const std::string& name) const { return root_ + "/" + name; }

    void WriteBytes(const std::string& name, const std::string& bytes) const
    {
        std::ofstream out(Host(name), std::ios::binary | std::ios::trunc);
        out << bytes;
    }
    std::string ReadBytes(const std::string& name) const
    {
        std::ifstream in(Host(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    bool Exists(const std::string& name) const { return std::filesystem::exists(Host(name)); }
    // Clears the owner-write bit: the emulated read-only attribute.
    void MakeReadOnly(const std::string& name) const
    {
        std::filesystem::permissions(Host(name), std::filesystem::perms::owner_write,
                                     std::filesystem::perm_options::remove);
    }

    std::string root_;
};

} // namespace rtltest
