#include "platform/vcl/ResourceStream.h"

#include "platform/rtl/Exception.h"
#include "platform/vcl/Resources.h"

#include <limits>

namespace vcl {

TResourceStream::TResourceStream(win::HINSTANCE, const rtl::UnicodeString& name, const rtl::UnicodeString& type)
{
    const TResourceEntry* entry = FindResourceEntry(name, type);
    if (!entry)
        throw rtl::EResNotFound(u"Resource " + name + u" not found");
    if (entry->Size > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
        throw rtl::EResNotFound(u"Resource " + name + u" not found");
    // The base class's own writer fills it once; afterwards it is read-only.
    if (entry->Size > 0)
        TMemoryStream::Write(entry->Data, static_cast<std::int32_t>(entry->Size));
    Seek(0, rtl::soBeginning);
}

std::int32_t TResourceStream::Write(const void*, std::int32_t)
{
    throw rtl::EStreamError(u"Can't write to a read-only resource stream");
}

void TResourceStream::SetSize(std::int64_t) { throw rtl::EStreamError(u"Can't write to a read-only resource stream"); }

} // namespace vcl
