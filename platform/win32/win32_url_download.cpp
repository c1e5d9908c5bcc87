#include "platform/win32/win32_url_download.h"

#include "platform/win32/cp949_wide.h"
#include "platform/win32/windows_include.h"

#include <urlmon.h>

namespace platform::win32 {

namespace {

// The callback object lives on the stack for the one synchronous call; the reference
// count only answers the moniker's AddRef/Release.
class ProgressCallback final : public IBindStatusCallback {
 public:
  explicit ProgressCallback(const IUrlDownloader::Progress& progress) : progress_(progress) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (!object) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IBindStatusCallback)) {
      *object = static_cast<IBindStatusCallback*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override { return --references_; }

  HRESULT STDMETHODCALLTYPE OnStartBinding(DWORD, IBinding*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetPriority(LONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnLowResource(DWORD) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnProgress(ULONG progress, ULONG progressMax, ULONG statusCode,
                                       LPCWSTR statusText) override {
    if (!progress_) return S_OK;
    return progress_(progress, progressMax, statusCode, statusText ? WideToCp949(statusText) : std::string());
  }
  HRESULT STDMETHODCALLTYPE OnStopBinding(HRESULT, LPCWSTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetBindInfo(DWORD*, BINDINFO*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnDataAvailable(DWORD, DWORD, FORMATETC*, STGMEDIUM*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnObjectAvailable(REFIID, IUnknown*) override { return S_OK; }

 private:
  const IUrlDownloader::Progress& progress_;
  ULONG references_ = 1;
};

}  // namespace

long Win32UrlDownloader::DownloadToFile(const std::string& url, const std::string& path, const Progress& progress) {
  // The moniker needs COM on this thread; a thread that already has it keeps its own.
  const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  ProgressCallback callback(progress);
  const HRESULT hr = ::URLDownloadToFileW(nullptr, Cp949ToWide(url).c_str(), Cp949ToWide(path).c_str(), 0, &callback);
  if (SUCCEEDED(com)) ::CoUninitialize();
  return hr;
}

}  // namespace platform::win32
