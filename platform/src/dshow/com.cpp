// COM subset: per-thread initialisation counts, the class factory of the filter graph and the
// media detector, and the running object table, which this layer keeps as a no-op (nothing
// outside the process can look at our graphs, so registration only hands out cookies).
#include <atomic>
#include <cstdlib>

#include "dshow.h"
#include "dshow/graph.h"
#include "dshow/mediadet.h"
#include "qedit.h"

namespace {

thread_local int g_init_count = 0;

// One object serves as both table and moniker; neither keeps state worth counting.
struct NullRot final : IRunningObjectTable {
    std::atomic<DWORD> next{1};
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IRunningObjectTable) {
            *out = static_cast<IRunningObjectTable*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE Register(DWORD, IUnknown* object, IMoniker* name, DWORD* cookie) override {
        if (!object || !name || !cookie) return E_INVALIDARG;
        *cookie = next++;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Revoke(DWORD cookie) override { return cookie ? S_OK : E_INVALIDARG; }
};

struct NullMoniker final : IMoniker {
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IMoniker) {
            *out = static_cast<IMoniker*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
};

NullRot g_rot;
NullMoniker g_moniker;

}  // namespace

HRESULT WINAPI CoInitialize(void* reserved) { return CoInitializeEx(reserved, COINIT_APARTMENTTHREADED); }

HRESULT WINAPI CoInitializeEx(void*, DWORD) { return g_init_count++ == 0 ? S_OK : S_FALSE; }

void WINAPI CoUninitialize(void) {
    if (g_init_count > 0) --g_init_count;
}

HRESULT WINAPI CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    const bool graph = clsid == CLSID_FilterGraph, detector = clsid == CLSID_MediaDet;
    if (!graph && !detector) return REGDB_E_CLASSNOTREG;
    if (outer) return CLASS_E_NOAGGREGATION;
    if (!(context & CLSCTX_INPROC_SERVER)) return REGDB_E_CLASSNOTREG;
    return graph ? plat::dshow::CreateFilterGraph(iid, out) : plat::dshow::CreateMediaDet(iid, out);
}

void* WINAPI CoTaskMemAlloc(SIZE_T size) { return std::malloc(size ? size : 1); }

HRESULT WINAPI GetRunningObjectTable(DWORD, IRunningObjectTable** out) {
    if (!out) return E_POINTER;
    *out = &g_rot;
    return S_OK;
}

HRESULT WINAPI CreateItemMoniker(LPCWSTR, LPCWSTR, IMoniker** out) {
    if (!out) return E_POINTER;
    *out = &g_moniker;
    return S_OK;
}

void WINAPI FreeMediaType(AM_MEDIA_TYPE* mt) {
    if (!mt) return;
    if (mt->cbFormat && mt->pbFormat) CoTaskMemFree(mt->pbFormat);
    mt->cbFormat = 0;
    mt->pbFormat = nullptr;
    if (mt->pUnk) {
        mt->pUnk->Release();
        mt->pUnk = nullptr;
    }
}

void WINAPI DeleteMediaType(AM_MEDIA_TYPE* mt) {
    if (!mt) return;
    FreeMediaType(mt);
    CoTaskMemFree(mt);
}
