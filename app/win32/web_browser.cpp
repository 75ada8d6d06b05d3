#include "app/win32/web_browser.h"

#include <exdisp.h>
#include <exdispid.h>
#include <ole2.h>
#include <ocidl.h>

#include <memory>

#include "app/win32/handler_errors.h"
#include "core/win32/handles.h"
#include "core/win32/text.h"

namespace runlens {
namespace {

using UniqueBstr = Unique<BSTR, &::SysFreeString>;

}  // namespace

// The container side of the control: client site, in-place site and frame in one object, plus
// the DWebBrowserEvents2 sink. It outlives the pane while the control still holds references,
// so it reaches the pane only through a pointer the pane clears when it goes.
class WebBrowser::Site final : public IOleClientSite,
                               public IOleInPlaceSite,
                               public IOleInPlaceFrame,
                               public IDispatch {
  public:
    explicit Site(WebBrowser& owner) : owner_(&owner) {}
    void Detach() { owner_ = nullptr; }

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (iid == IID_IUnknown || iid == IID_IOleClientSite) {
            *out = static_cast<IOleClientSite*>(this);
        } else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite) {
            *out = static_cast<IOleInPlaceSite*>(this);
        } else if (iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame) {
            *out = static_cast<IOleInPlaceFrame*>(this);
        } else if (iid == IID_IDispatch || iid == DIID_DWebBrowserEvents2) {
            *out = static_cast<IDispatch*>(this);
        } else {
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++references_; }
    STDMETHODIMP_(ULONG) Release() override {
        const ULONG left = --references_;
        if (left == 0)
            delete this;
        return left;
    }

    // IOleClientSite
    STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** moniker) override {
        if (moniker)
            *moniker = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetContainer(IOleContainer** container) override {
        if (container)
            *container = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP ShowObject() override { return S_OK; }
    STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow, shared by the in-place site and the frame
    STDMETHODIMP GetWindow(HWND* window) override {
        if (!window)
            return E_POINTER;
        *window = owner_ ? owner_->host_ : nullptr;
        return *window ? S_OK : E_FAIL;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceSite
    STDMETHODIMP CanInPlaceActivate() override { return owner_ ? S_OK : S_FALSE; }
    STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnUIActivate() override { return S_OK; }
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                  LPRECT position, LPRECT clip,
                                  LPOLEINPLACEFRAMEINFO info) override {
        if (!frame || !document || !position || !clip || !info || !owner_)
            return E_INVALIDARG;
        *frame = static_cast<IOleInPlaceFrame*>(this);
        AddRef();
        *document = nullptr;
        ::GetClientRect(owner_->host_, position);
        *clip = *position;
        info->fMDIApp = FALSE;
        info->hwndFrame = ::GetAncestor(owner_->host_, GA_ROOT);
        info->haccel = nullptr;
        info->cAccelEntries = 0;
        return S_OK;
    }
    STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
    STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
    STDMETHODIMP DiscardUndoState() override { return E_NOTIMPL; }
    STDMETHODIMP DeactivateAndUndo() override { return E_NOTIMPL; }
    STDMETHODIMP OnPosRectChange(LPCRECT) override { return S_OK; }

    // IOleInPlaceUIWindow and IOleInPlaceFrame: no menus, toolbars or status text of the
    // control's own.
    STDMETHODIMP GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
    STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
    STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    STDMETHODIMP RemoveMenus(HMENU) override { return E_NOTIMPL; }
    STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

    // IDispatch: the events of DWebBrowserEvents2; only title changes are handled.
    STDMETHODIMP GetTypeInfoCount(UINT* count) override {
        if (!count)
            return E_POINTER;
        *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info)
            *info = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP Invoke(DISPID member, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT*,
                        EXCEPINFO*, UINT*) override {
        if (member != DISPID_TITLECHANGE)
            return DISP_E_MEMBERNOTFOUND;
        if (!parameters || parameters->cArgs < 1)
            return DISP_E_BADPARAMCOUNT;
        const VARIANT& title = parameters->rgvarg[0];
        if (title.vt != VT_BSTR)
            return DISP_E_TYPEMISMATCH;
        if (owner_) {
            owner_->OnTitleChange(AsUtf16({title.bstrVal, ::SysStringLen(title.bstrVal)}));
        }
        return S_OK;
    }

  private:
    WebBrowser* owner_;
    ULONG references_ = 1;
};

WebBrowser::WebBrowser(HWND host, ErrorReporter reportError)
    : host_(host), reportError_(std::move(reportError)) {
    site_ = ComPtr<Site>::Adopt(new Site(*this));
    if (FAILED(::CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                  oleObject_.PutVoid()))) {
        return;
    }
    IOleClientSite* clientSite = static_cast<IOleClientSite*>(site_.Get());
    oleObject_->SetClientSite(clientSite);
    ::OleSetContainedObject(oleObject_.Get(), TRUE);
    RECT rect;
    ::GetClientRect(host_, &rect);
    if (FAILED(
            oleObject_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, clientSite, 0, host_, &rect))) {
        return;
    }
    browser_ = oleObject_.As<IWebBrowser2>(IID_IWebBrowser2);
    activeObject_ = oleObject_.As<IOleInPlaceActiveObject>(IID_IOleInPlaceActiveObject);
    const auto points = oleObject_.As<IConnectionPointContainer>(IID_IConnectionPointContainer);
    if (points && SUCCEEDED(points->FindConnectionPoint(DIID_DWebBrowserEvents2, events_.Put()))) {
        if (FAILED(events_->Advise(static_cast<IDispatch*>(site_.Get()), &eventsCookie_))) {
            events_.Reset();
        }
    }
}

WebBrowser::~WebBrowser() {
    if (events_)
        events_->Unadvise(eventsCookie_);
    if (oleObject_) {
        if (const auto inPlace = oleObject_.As<IOleInPlaceObject>(IID_IOleInPlaceObject)) {
            inPlace->InPlaceDeactivate();
        }
        oleObject_->Close(OLECLOSE_NOSAVE);
        oleObject_->SetClientSite(nullptr);
    }
    site_->Detach();
}

void WebBrowser::Navigate(std::u16string_view address) {
    if (!browser_)
        return;
    const std::wstring_view wide = AsWide(address);
    const UniqueBstr url(::SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size())));
    if (!url)
        throw std::bad_alloc();
    VARIANT none;
    ::VariantInit(&none);
    browser_->Navigate(url.get(), &none, &none, &none, &none);
}

void WebBrowser::Update() {
    ::RedrawWindow(host_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void WebBrowser::SetTitleChangeHandler(TitleChangeHandler handler) {
    titleChangeHandler_ = std::move(handler);
}

void WebBrowser::Focus() {
    // UI activation gives the document the focus; a pane without a control keeps it itself.
    if (oleObject_) {
        RECT rect;
        ::GetClientRect(host_, &rect);
        oleObject_->DoVerb(OLEIVERB_UIACTIVATE, nullptr, static_cast<IOleClientSite*>(site_.Get()),
                           0, host_, &rect);
    }
    const HWND focus = ::GetFocus();
    if (focus != host_ && !::IsChild(host_, focus))
        ::SetFocus(host_);
}

bool WebBrowser::OfferKey(const KeyMessage& key) {
    if (!activeObject_)
        return false;
    MSG message{};
    message.hwnd = static_cast<HWND>(key.window);
    message.message = key.message;
    message.wParam = key.wParam;
    message.lParam = key.lParam;
    message.time = key.time;
    message.pt = {key.x, key.y};
    return activeObject_->TranslateAccelerator(&message) == S_OK;
}

void WebBrowser::Resize() {
    if (!oleObject_)
        return;
    RECT rect;
    ::GetClientRect(host_, &rect);
    if (const auto inPlace = oleObject_.As<IOleInPlaceObject>(IID_IOleInPlaceObject)) {
        inPlace->SetObjectRects(&rect, &rect);
    }
}

std::u16string WebBrowser::LocationUrl() const {
    if (!browser_)
        return {};
    BSTR location = nullptr;
    if (FAILED(browser_->get_LocationURL(&location)))
        return {};
    const UniqueBstr owned(location);
    return std::u16string(AsUtf16({location, ::SysStringLen(location)}));
}

IDispatch* WebBrowser::EventSink() const {
    return static_cast<IDispatch*>(site_.Get());
}

void WebBrowser::OnTitleChange(std::u16string_view title) noexcept {
    // The handler may clear itself while it runs, so it is called from a copy.
    const TitleChangeHandler handler = titleChangeHandler_;
    if (!handler)
        return;
    RunReportingErrors([&] { handler(title); },
                       [this](const char* what) {
                           if (reportError_)
                               reportError_(what);
                       });
}

}  // namespace runlens
