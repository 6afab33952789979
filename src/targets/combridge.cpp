#include "targets/combridge.h"

#include <oaidl.h>
#include <objbase.h>
#include <oleauto.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace Sprelio {

namespace {

constexpr DWORD InProcOrLocalServer = CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER; // 5

std::wstring toWide(std::string_view utf8)
{
    if (utf8.empty()) {
        return {};
    }
    const int size = static_cast<int>(utf8.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), length);
    return wide;
}

std::string toUtf8(const wchar_t *wide, std::size_t length)
{
    if (length == 0) {
        return {};
    }
    const int size = static_cast<int>(length);
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide, size, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, size, utf8.data(), bytes, nullptr, nullptr);
    return utf8;
}

std::string toUtf8(BSTR text)
{
    return text == nullptr ? std::string() : toUtf8(text, SysStringLen(text));
}

// The system's text for a result code, without the trailing line break and full stop.
std::string systemMessage(HRESULT result)
{
    wchar_t *buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        static_cast<DWORD>(result), 0, reinterpret_cast<wchar_t *>(&buffer), 0, nullptr);
    std::string text = buffer != nullptr ? toUtf8(buffer, length) : std::string();
    LocalFree(buffer);
    while (!text.empty() && (static_cast<unsigned char>(text.back()) <= ' ' || text.back() == '.')) {
        text.pop_back();
    }
    if (text.empty()) {
        char code[32];
        std::snprintf(code, sizeof code, "OLE error %08lX", static_cast<unsigned long>(result));
        text = code;
    }
    return text;
}

[[noreturn]] void throwSystem(HRESULT result)
{
    throw AutomationError(AutomationErrorKind::System, systemMessage(result),
                          static_cast<std::int32_t>(result));
}

class ComObject;

AutomationValue fromVariant(VARIANT &variant);

// An IDispatch reference, released with the last copy of the value that holds it.
class ComObject final : public AutomationObject
{
public:
    explicit ComObject(IDispatch *dispatch) // takes over one reference
        : m_dispatch(dispatch)
    {}
    ~ComObject() override { m_dispatch->Release(); }
    ComObject(const ComObject &) = delete;
    ComObject &operator=(const ComObject &) = delete;

    IDispatch *dispatch() const { return m_dispatch; }

    AutomationValue get(std::string_view name, std::span<const AutomationArgument> args) override
    {
        // Without arguments a get may be a property or a method; with them it is a method.
        const WORD flags =
            args.empty() ? WORD{DISPATCH_METHOD | DISPATCH_PROPERTYGET} : WORD{DISPATCH_METHOD};
        return invoke(name, flags, args, true);
    }

    void call(std::string_view name, std::span<const AutomationArgument> args) override
    {
        invoke(name, DISPATCH_METHOD, args, false);
    }

    void put(std::string_view name, const AutomationArgument &value) override
    {
        const bool object = value.value.object() != nullptr;
        invoke(name, object ? WORD{DISPATCH_PROPERTYPUTREF} : WORD{DISPATCH_PROPERTYPUT}, {&value, 1}, false);
    }

private:
    AutomationValue invoke(std::string_view name, WORD flags, std::span<const AutomationArgument> args,
                           bool wantResult);

    IDispatch *m_dispatch;
};

// The VARIANT of a value, holding its own references.
void toVariant(const AutomationValue &value, VARIANT &out)
{
    VariantInit(&out);
    const auto &v = value.storage();
    if (std::holds_alternative<AutomationNull>(v)) {
        out.vt = VT_NULL;
    } else if (const auto *b = std::get_if<bool>(&v)) {
        out.vt = VT_BOOL;
        out.boolVal = *b ? VARIANT_TRUE : VARIANT_FALSE;
    } else if (const auto *i = std::get_if<std::int32_t>(&v)) {
        out.vt = VT_I4;
        out.lVal = *i;
    } else if (const auto *d = std::get_if<double>(&v)) {
        out.vt = VT_R8;
        out.dblVal = *d;
    } else if (const auto *s = std::get_if<std::string>(&v)) {
        const std::wstring wide = toWide(*s);
        out.vt = VT_BSTR;
        out.bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    } else if (const auto *o = std::get_if<AutomationObjectRef>(&v)) {
        const auto *com = dynamic_cast<const ComObject *>(o->get());
        if (*o && com == nullptr) {
            throw AutomationError(AutomationErrorKind::System, "Type mismatch",
                                  AutomationResult::TypeMismatch);
        }
        out.vt = VT_DISPATCH;
        out.pdispVal = com != nullptr ? com->dispatch() : nullptr;
        if (out.pdispVal != nullptr) {
            out.pdispVal->AddRef();
        }
    } else if (std::holds_alternative<AutomationEmptyArray>(v)) {
        out.vt = VT_ARRAY | VT_VARIANT;
        out.parray = SafeArrayCreateVector(VT_VARIANT, 0, 0); // bounds 0 to -1
    }
}

// The arguments of one Invoke in the order DISPPARAMS wants them (last first, named first), with
// the storage that by-reference arguments point into.
class CallArguments
{
public:
    explicit CallArguments(std::span<const AutomationArgument> args)
        : m_storage(args.size())
        , m_args(args.size())
    {
        const std::size_t count = args.size();
        for (std::size_t i = 0; i < count; ++i) {
            VariantInit(&m_storage[i]);
            VariantInit(&m_args[i]);
        }
        for (std::size_t i = 0; i < count; ++i) {
            set(args[i], m_storage[count - 1 - i], m_args[count - 1 - i]);
        }
    }
    ~CallArguments()
    {
        for (VARIANT &v : m_args) {
            VariantClear(&v);
        }
        for (VARIANT &v : m_storage) {
            VariantClear(&v);
        }
    }
    CallArguments(const CallArguments &) = delete;
    CallArguments &operator=(const CallArguments &) = delete;

    VARIANTARG *data() { return m_args.empty() ? nullptr : m_args.data(); }

private:
    static void set(const AutomationArgument &arg, VARIANT &storage, VARIANTARG &out)
    {
        using Kind = AutomationArgument::Kind;
        switch (arg.kind) {
        case Kind::Int32:
            out.vt = VT_I4;
            out.lVal = arg.value.toInteger();
            return;
        case Kind::Int32ByRef:
            storage.vt = VT_I4;
            storage.lVal = arg.value.toInteger();
            out.vt = VT_I4 | VT_BYREF;
            out.plVal = &storage.lVal;
            return;
        case Kind::Bool: {
            const auto *b = std::get_if<bool>(&arg.value.storage());
            out.vt = VT_BOOL;
            out.boolVal = (b != nullptr ? *b : arg.value.toInteger() != 0) ? VARIANT_TRUE : VARIANT_FALSE;
            return;
        }
        case Kind::String:
        case Kind::StringByRef: {
            const auto *s = std::get_if<std::string>(&arg.value.storage());
            const std::wstring wide = toWide(s != nullptr ? *s : std::string());
            BSTR text = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
            if (arg.kind == Kind::String) {
                out.vt = VT_BSTR;
                out.bstrVal = text;
            } else {
                storage.vt = VT_BSTR;
                storage.bstrVal = text;
                out.vt = VT_BSTR | VT_BYREF;
                out.pbstrVal = &storage.bstrVal;
            }
            return;
        }
        case Kind::Variant:
            toVariant(arg.value, out);
            return;
        case Kind::VariantByRef:
            toVariant(arg.value, storage);
            out.vt = VT_VARIANT | VT_BYREF;
            out.pvarVal = &storage;
            return;
        }
    }

    std::vector<VARIANT> m_storage;
    std::vector<VARIANTARG> m_args;
};

AutomationValue ComObject::invoke(std::string_view name, WORD flags, std::span<const AutomationArgument> args,
                                  bool wantResult)
{
    // Named arguments go last, as DISPPARAMS lists them first from the end.
    std::vector<AutomationArgument> ordered(args.begin(), args.end());
    std::stable_partition(ordered.begin(), ordered.end(),
                          [](const AutomationArgument &a) { return a.name.empty(); });
    const auto named = static_cast<std::size_t>(std::count_if(
        ordered.begin(), ordered.end(), [](const AutomationArgument &a) { return !a.name.empty(); }));

    std::vector<std::wstring> wideNames{toWide(name)};
    for (std::size_t i = ordered.size() - named; i < ordered.size(); ++i) {
        wideNames.push_back(toWide(ordered[i].name));
    }
    std::vector<LPOLESTR> names;
    for (std::wstring &n : wideNames) {
        names.push_back(n.data());
    }
    std::vector<DISPID> ids(names.size());
    HRESULT result = m_dispatch->GetIDsOfNames(IID_NULL, names.data(), static_cast<UINT>(names.size()),
                                               GetUserDefaultLCID(), ids.data());
    if (result == DISP_E_UNKNOWNNAME) {
        throw AutomationError::memberNotSupported(name);
    }
    if (FAILED(result)) {
        throwSystem(result);
    }

    CallArguments callArgs(ordered);
    // rgvarg[j] is argument count-1-j; the named ones come first there, last named first.
    std::vector<DISPID> namedIds;
    for (std::size_t j = 0; j < named; ++j) {
        namedIds.push_back(ids[names.size() - 1 - j]);
    }
    DISPID putId = DISPID_PROPERTYPUT;
    DISPPARAMS params{};
    params.rgvarg = callArgs.data();
    params.cArgs = static_cast<UINT>(ordered.size());
    if ((flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0) {
        params.rgdispidNamedArgs = &putId;
        params.cNamedArgs = 1;
    } else {
        params.rgdispidNamedArgs = namedIds.empty() ? nullptr : namedIds.data();
        params.cNamedArgs = static_cast<UINT>(namedIds.size());
    }

    VARIANT value;
    VariantInit(&value);
    EXCEPINFO exception{};
    UINT argError = 0;
    result = m_dispatch->Invoke(ids[0], IID_NULL, GetUserDefaultLCID(), flags, &params,
                                wantResult ? &value : nullptr, &exception, &argError);
    if (result == DISP_E_EXCEPTION) {
        if (exception.pfnDeferredFillIn != nullptr) {
            exception.pfnDeferredFillIn(&exception);
        }
        std::string description = toUtf8(exception.bstrDescription);
        const HRESULT code = exception.scode != 0 ? exception.scode : result;
        SysFreeString(exception.bstrSource);
        SysFreeString(exception.bstrDescription);
        SysFreeString(exception.bstrHelpFile);
        if (description.empty()) {
            description = systemMessage(code);
        }
        throw AutomationError(AutomationErrorKind::System, description, static_cast<std::int32_t>(code));
    }
    if (FAILED(result)) {
        throwSystem(result);
    }
    struct Clear
    {
        VARIANT &v;
        ~Clear() { VariantClear(&v); }
    } clear{value};
    return wantResult ? fromVariant(value) : AutomationValue();
}

AutomationValue fromVariant(VARIANT &in)
{
    VARIANT value;
    VariantInit(&value);
    if (FAILED(VariantCopyInd(&value, &in))) {
        throwSystem(DISP_E_TYPEMISMATCH);
    }
    struct Clear
    {
        VARIANT &v;
        ~Clear() { VariantClear(&v); }
    } clear{value};
    switch (value.vt) {
    case VT_EMPTY:
        return {};
    case VT_NULL:
        return AutomationNull{};
    case VT_BOOL:
        return value.boolVal != VARIANT_FALSE;
    case VT_I1:
    case VT_I2:
    case VT_I4:
    case VT_INT:
    case VT_UI1:
    case VT_UI2: {
        VARIANT converted;
        VariantInit(&converted);
        if (FAILED(VariantChangeType(&converted, &value, 0, VT_I4))) {
            throwSystem(DISP_E_TYPEMISMATCH);
        }
        return std::int32_t{converted.lVal};
    }
    case VT_BSTR:
        return toUtf8(value.bstrVal);
    case VT_DISPATCH:
        if (value.pdispVal == nullptr) {
            return AutomationObjectRef();
        }
        value.pdispVal->AddRef();
        return AutomationObjectRef(std::make_shared<ComObject>(value.pdispVal));
    case VT_UNKNOWN: {
        IDispatch *dispatch = nullptr;
        if (value.punkVal == nullptr ||
            FAILED(value.punkVal->QueryInterface(IID_IDispatch, reinterpret_cast<void **>(&dispatch)))) {
            return AutomationObjectRef();
        }
        return AutomationObjectRef(std::make_shared<ComObject>(dispatch));
    }
    default: {
        // Every other number (floats, currency, dates, wide integers) as a double.
        VARIANT converted;
        VariantInit(&converted);
        const HRESULT result = VariantChangeType(&converted, &value, 0, VT_R8);
        if (FAILED(result)) {
            throwSystem(result);
        }
        return converted.dblVal;
    }
    }
}

CLSID classOf(std::string_view progId)
{
    const std::wstring wide = toWide(progId);
    CLSID clsid{};
    const HRESULT result = CLSIDFromProgID(wide.c_str(), &clsid);
    if (FAILED(result)) {
        throwSystem(result);
    }
    return clsid;
}

} // namespace

AutomationValue ComBridge::attach(std::string_view progId)
{
    const CLSID clsid = classOf(progId);
    IUnknown *unknown = nullptr;
    HRESULT result = GetActiveObject(clsid, nullptr, &unknown);
    if (FAILED(result)) {
        throwSystem(result);
    }
    IDispatch *dispatch = nullptr;
    result = unknown->QueryInterface(IID_IDispatch, reinterpret_cast<void **>(&dispatch));
    unknown->Release();
    if (FAILED(result)) {
        throwSystem(result);
    }
    return AutomationObjectRef(std::make_shared<ComObject>(dispatch));
}

AutomationValue ComBridge::create(std::string_view progId)
{
    try {
        const CLSID clsid = classOf(progId);
        IDispatch *dispatch = nullptr;
        const HRESULT result = CoCreateInstance(clsid, nullptr, InProcOrLocalServer, IID_IDispatch,
                                                reinterpret_cast<void **>(&dispatch));
        if (FAILED(result)) {
            throwSystem(result);
        }
        return AutomationObjectRef(std::make_shared<ComObject>(dispatch));
    } catch (const AutomationError &error) {
        throw AutomationError(error.kind(), createFailureText(error.what(), progId), error.resultCode());
    }
}

} // namespace Sprelio
