#include "platform/win/Registry.h"

#include "platform/rtl/Exception.h"

namespace win {

namespace {

using rtl::ERegistryException;
using rtl::UnicodeString;

// The hive and the path below its root that a root key stands for.
bool RootOf(HKEY root, RegistryHive& hive, RegistryPath& prefix)
{
    prefix.clear();
    if (root == HKEY_CURRENT_USER)
        hive = RegistryHive::User;
    else if (root == HKEY_LOCAL_MACHINE)
        hive = RegistryHive::Machine;
    else if (root == HKEY_CLASSES_ROOT) {
        hive = RegistryHive::Machine;
        prefix = {u"SOFTWARE", u"Classes"};
    } else
        return false;
    return true;
}

[[noreturn]] void RaiseSetFailed(const UnicodeString& name)
{
    throw ERegistryException(UnicodeString(u"Failed to set data for '") + name + u"'");
}
[[noreturn]] void RaiseGetFailed(const UnicodeString& name)
{
    throw ERegistryException(UnicodeString(u"Failed to get data for '") + name + u"'");
}
[[noreturn]] void RaiseInvalidType(const UnicodeString& name)
{
    throw ERegistryException(UnicodeString(u"Invalid data type for '") + name + u"'");
}

bool IsString(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ; }

} // namespace

TRegistry::TRegistry() : TRegistry(KEY_ALL_ACCESS) {}

TRegistry::TRegistry(unsigned access) : store_(CurrentRegistryStore()), access_(access) {}

TRegistry::~TRegistry() { CloseKey(); }

TRegistry::RootKeyProperty& TRegistry::RootKeyProperty::operator=(HKEY root)
{
    owner_.CloseKey();
    owner_.root_ = root;
    return *this;
}

TRegistry::RootKeyProperty::operator HKEY() const { return owner_.root_; }

UnicodeString TRegistry::CurrentPath() const
{
    if (!open_)
        return UnicodeString();
    return UnicodeString(JoinRegistryPath(shownPath_));
}

bool TRegistry::Resolve(const UnicodeString& key, RegistryHive& hive, RegistryPath& path) const
{
    RegistryPath prefix;
    if (!RootOf(root_, hive, prefix))
        return false;
    RegistryPath parts;
    if (!SplitRegistryPath(key.view(), parts))
        return false;
    bool absolute = !key.IsEmpty() && key[1] == u'\\';
    path = absolute || !open_ ? prefix : openPath_;
    path.insert(path.end(), parts.begin(), parts.end());
    return path.size() <= kMaxKeyDepth;
}

bool TRegistry::OpenKey(const UnicodeString& key, bool canCreate) { return OpenKeyWith(key, canCreate, access_); }

bool TRegistry::OpenKeyWith(const UnicodeString& key, bool canCreate, unsigned access)
{
    RegistryHive hive;
    RegistryPath path;
    if (!Resolve(key, hive, path) || !store_->MayOpen(hive, path))
        return false;
    const bool forWriting = (access & KEY_WRITE & ~KEY_READ) != 0;
    // As on Windows, a key cannot be opened for writing where writes are
    // not allowed, even when it exists.
    if (forWriting && !store_->CanWrite(hive))
        return false;
    RegistryKey found;
    bool exists = false;
    if (!store_->ReadKey(hive, path, found, exists))
        return false;
    if (!exists) {
        if (!canCreate || !forWriting)
            return false;
        if (store_->Apply(hive, {RegistryEdit::Kind::CreateKey, path, {}}) != EditResult::Done)
            return false;
    }
    // The key that was open is closed, its changes written.
    CloseKey();
    unflushed_ = !exists;
    openWritable_ = forWriting;
    RegistryHive rootHive;
    RegistryPath prefix;
    RootOf(root_, rootHive, prefix);
    open_ = true;
    openHive_ = hive;
    openPath_ = path;
    shownPath_.assign(path.begin() + static_cast<std::ptrdiff_t>(prefix.size()), path.end());
    return true;
}

bool TRegistry::OpenKeyReadOnly(const UnicodeString& key) { return OpenKeyWith(key, false, KEY_READ); }

void TRegistry::CloseKey()
{
    // Changes are written once per key, when it is closed.
    if (unflushed_)
        store_->Flush(openHive_);
    unflushed_ = false;
    open_ = false;
    openPath_.clear();
    shownPath_.clear();
}

bool TRegistry::CreateKey(const UnicodeString& key)
{
    RegistryHive hive;
    RegistryPath path;
    if ((access_ & KEY_WRITE & ~KEY_READ) == 0)
        return false;
    if (!Resolve(key, hive, path) || !store_->MayOpen(hive, path))
        return false;
    return store_->Apply(hive, {RegistryEdit::Kind::CreateKey, path, {}}) == EditResult::Done && store_->Flush(hive);
}

bool TRegistry::KeyExists(const UnicodeString& key)
{
    RegistryHive hive;
    RegistryPath path;
    if (!Resolve(key, hive, path) || !store_->MayOpen(hive, path))
        return false;
    RegistryKey found;
    bool exists = false;
    return store_->ReadKey(hive, path, found, exists) && exists;
}

bool TRegistry::DeleteKey(const UnicodeString& key)
{
    RegistryHive hive;
    RegistryPath path, prefix;
    if ((access_ & KEY_WRITE & ~KEY_READ) == 0)
        return false;
    if (!Resolve(key, hive, path) || !RootOf(root_, hive, prefix))
        return false;
    if (path.size() <= prefix.size())
        return false; // never a root itself
    if (!store_->MayOpen(hive, path))
        return false;
    return store_->Apply(hive, {RegistryEdit::Kind::DeleteKey, path, {}}) == EditResult::Done && store_->Flush(hive);
}

bool TRegistry::ReadOpenValue(const UnicodeString& name, RegistryValue& out)
{
    if (!open_)
        return false;
    RegistryKey key;
    bool exists = false;
    if (!store_->ReadKey(openHive_, openPath_, key, exists) || !exists)
        return false;
    const RegistryValue* value = key.FindValue(name.view());
    if (value == nullptr)
        return false;
    out = *value;
    return true;
}

bool TRegistry::ValueExists(const UnicodeString& name)
{
    RegistryValue v;
    return ReadOpenValue(name, v);
}

bool TRegistry::DeleteValue(const UnicodeString& name)
{
    if (!open_ || !openWritable_)
        return false;
    RegistryEdit edit{RegistryEdit::Kind::DeleteValue, openPath_, {}};
    edit.value.name = name.str();
    if (store_->Apply(openHive_, edit) != EditResult::Done)
        return false;
    unflushed_ = true;
    return true;
}

int TRegistry::GetDataSize(const UnicodeString& name)
{
    RegistryValue v;
    if (!ReadOpenValue(name, v))
        return -1;
    return static_cast<int>(v.data.size());
}

TRegDataType TRegistry::GetDataType(const UnicodeString& name)
{
    RegistryValue v;
    if (!ReadOpenValue(name, v))
        return rdUnknown;
    switch (v.type) {
    case REG_SZ:
        return rdString;
    case REG_EXPAND_SZ:
        return rdExpandString;
    case REG_DWORD:
        return rdInteger;
    case REG_BINARY:
        return rdBinary;
    default:
        return rdUnknown;
    }
}

void TRegistry::Write(const UnicodeString& name, RegistryValue value)
{
    if (!open_ || !openWritable_)
        RaiseSetFailed(name);
    value.name = name.str();
    if (store_->Apply(openHive_, {RegistryEdit::Kind::SetValue, openPath_, std::move(value)}) != EditResult::Done)
        RaiseSetFailed(name);
    unflushed_ = true;
}

void TRegistry::WriteInteger(const UnicodeString& name, int value)
{
    Write(name, RegistryValue::Dword(u"", static_cast<std::uint32_t>(value)));
}

int TRegistry::ReadInteger(const UnicodeString& name)
{
    RegistryValue v;
    if (!ReadOpenValue(name, v))
        RaiseGetFailed(name);
    std::uint32_t number = 0;
    if (v.type != REG_DWORD || !v.Number(number))
        RaiseInvalidType(name);
    return static_cast<int>(number);
}

void TRegistry::WriteString(const UnicodeString& name, const UnicodeString& value)
{
    Write(name, RegistryValue::String(u"", value.view()));
}

UnicodeString TRegistry::ReadString(const UnicodeString& name)
{
    RegistryValue v;
    if (!ReadOpenValue(name, v))
        return UnicodeString();
    if (!IsString(v.type))
        RaiseInvalidType(name);
    return UnicodeString(v.Text());
}

void TRegistry::WriteBinaryData(const UnicodeString& name, const void* buffer, int size)
{
    if (size < 0 || (buffer == nullptr && size > 0))
        RaiseSetFailed(name);
    Write(name, RegistryValue::Binary(u"", buffer, static_cast<std::size_t>(size)));
}

int TRegistry::ReadBinaryData(const UnicodeString& name, void* buffer, int size)
{
    RegistryValue v;
    if (!ReadOpenValue(name, v))
        RaiseGetFailed(name);
    if (v.type != REG_BINARY && v.type != REG_NONE)
        RaiseInvalidType(name);
    if (size < 0 || v.data.size() > static_cast<std::size_t>(size) || (buffer == nullptr && !v.data.empty()))
        RaiseGetFailed(name);
    if (!v.data.empty())
        std::copy(v.data.begin(), v.data.end(), static_cast<std::uint8_t*>(buffer));
    return static_cast<int>(v.data.size());
}

UnicodeString TRegistry::GetDataAsString(const UnicodeString& name, bool checkDataType)
{
    RegistryValue v;
    if (!ReadOpenValue(name, v))
        return UnicodeString();
    if (IsString(v.type))
        return UnicodeString(v.Text());
    if (checkDataType)
        RaiseInvalidType(name);
    std::uint32_t number = 0;
    if (v.type == REG_DWORD && v.Number(number))
        return UnicodeString(static_cast<int>(number));
    static constexpr char16_t hex[] = u"0123456789ABCDEF";
    std::u16string text;
    for (std::uint8_t b : v.data) {
        text += hex[b >> 4];
        text += hex[b & 0xF];
    }
    return UnicodeString(text);
}

} // namespace win
