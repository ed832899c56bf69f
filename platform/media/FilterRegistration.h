// What registering a filter module writes into the classes root, and the
// removal again. Our registration tool (tools/regsvr32) calls these for the
// module it is given; tests call them to play a finished registration.
//
//   \CLSID\{clsid}                      (default) = the friendly name
//   \CLSID\{clsid}\InprocServer32       (default) = the module path, "ThreadingModel" = "Both"
//   \CLSID\{083863F1-70DE-11D0-BD40-00A0C911CE86}\Instance\{clsid}
//                                       "FriendlyName", "CLSID", "FilterData"
#pragma once

#include "platform/media/FfdshowClasses.h"
#include "platform/rtl/UnicodeString.h"

namespace media {

// Writes the entries of every filter the module holds (FiltersOfModule of its
// file name). Raises the registry exception when a write is refused; false
// when the module holds no filter we know.
bool RegisterModuleFilters(const rtl::UnicodeString& modulePath);
// Deletes those entries; false when the module holds no filter we know.
// Missing entries are no failure.
bool UnregisterModuleFilters(const rtl::UnicodeString& modulePath);

// The classes-root key of the legacy filter category's instances, from the root.
rtl::UnicodeString FilterCategoryInstanceKey();

} // namespace media
