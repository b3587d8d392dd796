// The filter graph behind CoCreateInstance(CLSID_FilterGraph).
#pragma once

#include "dshow.h"

namespace plat::dshow {

// Creates a graph and returns its interface `iid` (one reference) in *out.
HRESULT CreateFilterGraph(REFIID iid, void** out);

}  // namespace plat::dshow
