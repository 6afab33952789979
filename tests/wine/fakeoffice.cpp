// A stand-in for Word, Excel and PowerPoint: an out-of-process Automation server whose objects
// accept any member name, answer from a scenario file and log every call with its arguments.
//
//   fakeoffice --register            registers the three ProgIDs for this program (HKLM)
//   fakeoffice --unregister PROGID   removes one ProgID again
//   fakeoffice --running APP         runs APP (Word, Excel, PowerPoint) as an active object until
//                                    the file fakeoffice.stop appears; fakeoffice.ready says it runs
//   fakeoffice -Embedding            started by COM to create an application object
//
// Beside the program: fakeoffice.conf, lines KEY=VALUE:
//   unknown=NAME,NAME   member names that are not supported (default: abd)
//   PATH=ANSWER         what a get of PATH (App.Member.Member) answers: i4:N, r4:X, r8:X,
//                       empty, emptyonce (empty the first time, an object later) or fail:TEXT
//                       (an exception with that description)
// and fakeoffice.log, which gets one line per call.

#include <objbase.h>
#include <oleauto.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

const CLSID WordClass = {0x5b0e1e2a, 0x7d31, 0x4c55, {0x9a, 0x01, 0x3e, 0x11, 0x5a, 0x60, 0x57, 0x01}};
const CLSID ExcelClass = {0x5b0e1e2a, 0x7d31, 0x4c55, {0x9a, 0x01, 0x3e, 0x11, 0x5a, 0x60, 0x57, 0x02}};
const CLSID PowerPointClass = {0x5b0e1e2a, 0x7d31, 0x4c55, {0x9a, 0x01, 0x3e, 0x11, 0x5a, 0x60, 0x57, 0x03}};

struct Application
{
    const wchar_t *progId;
    const char *name;
    const CLSID *clsid;
};

const Application Applications[] = {{L"Word.Application", "Word", &WordClass},
                                    {L"Excel.Application", "Excel", &ExcelClass},
                                    {L"PowerPoint.Application", "PowerPoint", &PowerPointClass}};

std::wstring g_dir;
std::set<std::string> g_unknown{"abd"};
std::map<std::string, std::string> g_answers;
std::map<std::string, DISPID> g_ids;
std::vector<std::string> g_names; // by DISPID - 1
long g_objects = 0;
long g_locks = 0;
bool g_created = false;

std::string utf8(const wchar_t *text, int length = -1)
{
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, length, out.data(), bytes, nullptr, nullptr);
    if (length < 0 && !out.empty()) {
        out.pop_back();
    }
    return out;
}

std::wstring wide(const std::string &text)
{
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
    std::wstring out(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, out.data(), length);
    out.pop_back();
    return out;
}

void logLine(const std::string &line)
{
    FILE *file = _wfopen((g_dir + L"fakeoffice.log").c_str(), L"ab");
    if (file != nullptr) {
        std::fwrite(line.data(), 1, line.size(), file);
        std::fputc('\n', file);
        std::fclose(file);
    }
}

void readConfig()
{
    FILE *file = _wfopen((g_dir + L"fakeoffice.conf").c_str(), L"rb");
    if (file == nullptr) {
        return;
    }
    g_unknown = {"abd"};
    g_answers.clear();
    char buffer[1024];
    while (std::fgets(buffer, sizeof buffer, file) != nullptr) {
        std::string line = buffer;
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
            line.pop_back();
        }
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos) {
            continue;
        }
        const std::string key = line.substr(0, eq);
        const std::string value = line.substr(eq + 1);
        if (key == "unknown") {
            g_unknown.clear();
            std::size_t start = 0;
            while (start <= value.size()) {
                const std::size_t comma = value.find(',', start);
                const std::string name = value.substr(start, comma - start);
                if (!name.empty()) {
                    g_unknown.insert(name);
                }
                if (comma == std::string::npos) {
                    break;
                }
                start = comma + 1;
            }
        } else {
            g_answers[key] = value;
        }
    }
    std::fclose(file);
}

const std::string &nameOf(DISPID id)
{
    static const std::string none = "?";
    return id >= 1 && static_cast<std::size_t>(id) <= g_names.size()
               ? g_names[static_cast<std::size_t>(id) - 1]
               : none;
}

class FakeObject;

std::string describe(const VARIANT &v);

std::string describeValue(VARTYPE type, const void *data);

class FakeObject final : public IDispatch
{
public:
    explicit FakeObject(std::string path)
        : m_path(std::move(path))
    {
        ++g_objects;
    }
    virtual ~FakeObject() { --g_objects; }

    const std::string &path() const { return m_path; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void **out) override
    {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch)) {
            *out = static_cast<IDispatch *>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&m_refs)); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const long refs = InterlockedDecrement(&m_refs);
        if (refs == 0) {
            delete this;
        }
        return static_cast<ULONG>(refs);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT *count) override
    {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo **info) override
    {
        *info = nullptr;
        return E_NOTIMPL;
    }

    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR *names, UINT count, LCID, DISPID *ids) override
    {
        HRESULT result = S_OK;
        for (UINT i = 0; i < count; ++i) {
            const std::string name = utf8(names[i]);
            if (i == 0 && g_unknown.count(name) != 0) {
                logLine("unknown " + m_path + "." + name);
                ids[i] = DISPID_UNKNOWN;
                result = DISP_E_UNKNOWNNAME;
                continue;
            }
            // Names are kept exactly as sent, so the log shows their case.
            auto it = g_ids.find(name);
            if (it == g_ids.end()) {
                g_names.push_back(name);
                it = g_ids.emplace(name, static_cast<DISPID>(g_names.size())).first;
            }
            ids[i] = it->second;
        }
        return result;
    }

    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS *params, VARIANT *result,
                                     EXCEPINFO *exception, UINT *) override
    {
        const std::string member = m_path + "." + nameOf(id);
        std::string kind;
        switch (flags) {
        case DISPATCH_METHOD | DISPATCH_PROPERTYGET:
            kind = "get";
            break;
        case DISPATCH_METHOD:
            kind = "method";
            break;
        case DISPATCH_PROPERTYGET:
            kind = "propget";
            break;
        case DISPATCH_PROPERTYPUT:
            kind = "put";
            break;
        case DISPATCH_PROPERTYPUTREF:
            kind = "putref";
            break;
        default:
            kind = "flags" + std::to_string(flags);
        }
        const bool putting = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
        std::string args;
        const UINT count = params != nullptr ? params->cArgs : 0;
        for (UINT k = 0; k < count; ++k) {
            const UINT j = count - 1 - k; // arguments in the caller's order
            std::string arg;
            if (j < params->cNamedArgs && !putting) {
                arg = nameOf(params->rgdispidNamedArgs[j]) + ":=";
            }
            arg += describe(params->rgvarg[j]);
            args += (k == 0 ? "" : ", ") + arg;
        }
        logLine(kind + " " + member + (putting ? " = " + args : "(" + args + ")"));

        const auto answer = g_answers.find(member);
        if (answer != g_answers.end() && answer->second.rfind("fail:", 0) == 0) {
            if (exception != nullptr) {
                *exception = EXCEPINFO{};
                exception->scode = DISP_E_EXCEPTION;
                exception->bstrSource = SysAllocString(L"Fake Office");
                exception->bstrDescription = SysAllocString(wide(answer->second.substr(5)).c_str());
            }
            return DISP_E_EXCEPTION;
        }
        if (result == nullptr || putting) {
            return S_OK;
        }
        VariantInit(result);
        if (answer == g_answers.end()) {
            result->vt = VT_DISPATCH;
            result->pdispVal = new FakeObject(member);
            result->pdispVal->AddRef();
            return S_OK;
        }
        const std::string &reply = answer->second;
        if (reply == "empty") {
            return S_OK;
        }
        if (reply == "emptyonce") {
            g_answers.erase(answer);
            return S_OK;
        }
        if (reply.rfind("i4:", 0) == 0) {
            result->vt = VT_I4;
            result->lVal = std::atoi(reply.c_str() + 3);
        } else if (reply.rfind("r4:", 0) == 0) {
            result->vt = VT_R4;
            result->fltVal = static_cast<float>(std::atof(reply.c_str() + 3));
        } else if (reply.rfind("r8:", 0) == 0) {
            result->vt = VT_R8;
            result->dblVal = std::atof(reply.c_str() + 3);
        }
        return S_OK;
    }

private:
    std::string m_path;
    long m_refs = 0;
};

std::string describeValue(VARTYPE type, const void *data)
{
    switch (type) {
    case VT_I4:
        return "i4 " + std::to_string(*static_cast<const LONG *>(data));
    case VT_BOOL:
        return "bool " + std::to_string(*static_cast<const VARIANT_BOOL *>(data));
    case VT_BSTR: {
        const BSTR text = *static_cast<const BSTR *>(data);
        return "bstr \"" + (text != nullptr ? utf8(text, static_cast<int>(SysStringLen(text))) : "") + "\"";
    }
    case VT_DISPATCH: {
        auto *dispatch = *static_cast<IDispatch *const *>(data);
        return dispatch == nullptr ? std::string("dispatch null") : std::string("dispatch");
    }
    case VT_EMPTY:
        return "empty";
    case VT_R8:
        return "r8 " + std::to_string(*static_cast<const double *>(data));
    default:
        return "vt" + std::to_string(type);
    }
}

const void *valueData(const VARIANT &v)
{
    switch (v.vt & VT_TYPEMASK) {
    case VT_I4:
        return &v.lVal;
    case VT_BOOL:
        return &v.boolVal;
    case VT_BSTR:
        return &v.bstrVal;
    case VT_DISPATCH:
        return &v.pdispVal;
    case VT_R8:
        return &v.dblVal;
    default:
        return &v.lVal;
    }
}

std::string describe(const VARIANT &v)
{
    if ((v.vt & VT_ARRAY) != 0) {
        LONG lower = 0;
        LONG upper = 0;
        SafeArrayGetLBound(v.parray, 1, &lower);
        SafeArrayGetUBound(v.parray, 1, &upper);
        return "array vt" + std::to_string(v.vt & VT_TYPEMASK) + " " + std::to_string(lower) + ".." +
               std::to_string(upper);
    }
    if ((v.vt & VT_BYREF) == 0) {
        return describeValue(v.vt, valueData(v));
    }
    const VARTYPE type = v.vt & VT_TYPEMASK;
    if (type == VT_VARIANT) {
        return "variant& " + describe(*v.pvarVal);
    }
    std::string text = describeValue(type, v.byref);
    text.insert(text.find(' '), "&");
    return text;
}

class Factory final : public IClassFactory
{
public:
    explicit Factory(const Application &app)
        : m_app(app)
    {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void **out) override
    {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
            *out = static_cast<IClassFactory *>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown *outer, REFIID riid, void **out) override
    {
        if (outer != nullptr) {
            return CLASS_E_NOAGGREGATION;
        }
        // Each creation reads the scenario anew, as a server that is still running may serve it.
        readConfig();
        logLine(std::string("created ") + m_app.name);
        g_created = true;
        auto *object = new FakeObject(m_app.name);
        object->AddRef();
        const HRESULT result = object->QueryInterface(riid, out);
        object->Release();
        return result;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override
    {
        g_locks += lock ? 1 : -1;
        return S_OK;
    }

private:
    const Application &m_app;
};

bool exists(const std::wstring &path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Pumps messages until done() holds or the time is up.
template <typename Done> void serve(Done done, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    while (!done() && GetTickCount() - start < timeoutMs) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}

std::wstring guidText(const CLSID &clsid)
{
    wchar_t text[64];
    StringFromGUID2(clsid, text, 64);
    return text;
}

bool setKey(const std::wstring &key, const std::wstring &value)
{
    HKEY handle = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle,
                        nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    const bool ok = RegSetValueExW(handle, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE *>(value.c_str()),
                                   bytes) == ERROR_SUCCESS;
    RegCloseKey(handle);
    return ok;
}

int registerAll()
{
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    for (const Application &app : Applications) {
        const std::wstring clsid = guidText(*app.clsid);
        const std::wstring classes = L"Software\\Classes\\";
        if (!setKey(classes + app.progId + L"\\CLSID", clsid) ||
            !setKey(classes + L"CLSID\\" + clsid + L"\\LocalServer32", std::wstring(L"\"") + exe + L"\"") ||
            !setKey(classes + L"CLSID\\" + clsid + L"\\ProgID", app.progId)) {
            std::fputs("registration failed\n", stderr);
            return 1;
        }
    }
    return 0;
}

int unregister(const std::wstring &progId)
{
    const std::wstring key = L"Software\\Classes\\" + progId;
    return RegDeleteTreeW(HKEY_LOCAL_MACHINE, key.c_str()) == ERROR_SUCCESS ? 0 : 1;
}

int runActive(const std::string &name)
{
    const Application *app = nullptr;
    for (const Application &candidate : Applications) {
        if (name == candidate.name) {
            app = &candidate;
        }
    }
    if (app == nullptr) {
        return 2;
    }
    auto *object = new FakeObject(app->name);
    object->AddRef();
    DWORD cookie = 0;
    // Strong: the table keeps the object alive, as a running application's own reference would.
    if (FAILED(RegisterActiveObject(object, *app->clsid, ACTIVEOBJECT_STRONG, &cookie))) {
        std::fputs("RegisterActiveObject failed\n", stderr);
        return 1;
    }
    logLine(std::string("running ") + app->name);
    FILE *ready = _wfopen((g_dir + L"fakeoffice.ready").c_str(), L"wb");
    if (ready != nullptr) {
        std::fclose(ready);
    }
    serve([] { return exists(g_dir + L"fakeoffice.stop"); }, 120000);
    RevokeActiveObject(cookie, nullptr);
    object->Release();
    return 0;
}

int runEmbedded()
{
    static Factory factories[] = {Factory(Applications[0]), Factory(Applications[1]),
                                  Factory(Applications[2])};
    std::vector<DWORD> cookies;
    for (std::size_t i = 0; i < 3; ++i) {
        DWORD cookie = 0;
        if (SUCCEEDED(CoRegisterClassObject(*Applications[i].clsid, &factories[i], CLSCTX_LOCAL_SERVER,
                                            REGCLS_MULTIPLEUSE, &cookie))) {
            cookies.push_back(cookie);
        }
    }
    serve([] { return g_created && g_objects == 0 && g_locks == 0; }, 60000);
    for (const DWORD cookie : cookies) {
        CoRevokeClassObject(cookie);
    }
    return 0;
}

} // namespace

int main()
{
    int argc = 0;
    wchar_t **argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    g_dir = exe;
    g_dir.erase(g_dir.find_last_of(L"\\/") + 1);
    readConfig();

    const std::wstring mode = argc > 1 ? argv[1] : L"";
    if (mode == L"--register") {
        return registerAll();
    }
    if (mode == L"--unregister" && argc > 2) {
        return unregister(argv[2]);
    }
    CoInitialize(nullptr);
    int code = 2;
    if (mode == L"--running" && argc > 2) {
        code = runActive(utf8(argv[2]));
    } else if (mode == L"-Embedding" || mode == L"/Embedding") {
        code = runEmbedded();
    }
    CoUninitialize();
    return code;
}
