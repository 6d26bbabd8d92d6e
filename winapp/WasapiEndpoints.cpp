#include "winapp/WasapiEndpoints.h"

#include <windows.h>

#include <audioclient.h>
#include <mmdeviceapi.h>
#include <mmreg.h>

#include <atomic>
#include <cstdio>
#include <cstring>

namespace {

// The interfaces' and classes' identifiers, spelled out here rather than taken from a library.
const CLSID kMMDeviceEnumerator = {0xBCDE0395, 0xE52F, 0x467C, {0x8E, 0x3D, 0xC4, 0x57, 0x92, 0x91, 0x69, 0x2E}};
const IID kIMMDeviceEnumerator = {0xA95664D2, 0x9614, 0x4F35, {0xA7, 0x46, 0xDE, 0x8D, 0xB6, 0x36, 0x17, 0xE6}};
const IID kIMMNotificationClient = {0x7991EEC9, 0x7E89, 0x4D85, {0x83, 0x90, 0x6C, 0x70, 0x3C, 0xEC, 0x60, 0xC0}};
const IID kIMMEndpoint = {0x1BE09788, 0x6894, 0x4089, {0x85, 0x86, 0x9A, 0x2A, 0x6C, 0x26, 0x5A, 0xC5}};
const IID kIAudioClient = {0x1CB9AD4C, 0xDBFA, 0x4C32, {0xB1, 0x78, 0xC2, 0xF5, 0x68, 0xA7, 0x03, 0xB2}};
const IID kIAudioCaptureClient = {0xC8ADBD64, 0xE71E, 0x48A0, {0xA4, 0xDE, 0x18, 0x5C, 0x39, 0x5C, 0xD3, 0x17}};
const GUID kSubtypePcm = {0x00000001, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
const GUID kSubtypeFloat = {0x00000003, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
const PROPERTYKEY kFriendlyName = {{0xA45C254E, 0xDF1C, 0x4EFD, {0x80, 0x20, 0x67, 0xD1, 0x46, 0xA8, 0x50, 0xE0}}, 14};

constexpr REFERENCE_TIME kBufferHns = 2000000;  // 200 ms of room between our reads

template <typename T>
void release(T*& p) {
    if (p) p->Release();
    p = nullptr;
}

std::string utf8(const wchar_t* text) {
    if (!text) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1) return {};
    std::string out(static_cast<size_t>(n - 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), n, nullptr, nullptr);
    return out;
}

std::wstring wide(const std::string& text) {
    const int n = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
    if (n <= 1) return {};
    std::wstring out(static_cast<size_t>(n - 1), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, out.data(), n);
    return out;
}

// A failure's code and what it means to a user.
std::string describe(HRESULT hr) {
    const char* what = "failed";
    switch (hr) {
        case AUDCLNT_E_WRONG_ENDPOINT_TYPE: what = "the endpoint does not hand over what it plays"; break;
        case AUDCLNT_E_DEVICE_INVALIDATED: what = "the device went away"; break;
        case AUDCLNT_E_DEVICE_IN_USE: what = "the device is in use"; break;
        case AUDCLNT_E_SERVICE_NOT_RUNNING: what = "the audio service is not running"; break;
        case AUDCLNT_E_UNSUPPORTED_FORMAT: what = "a format the device does not take"; break;
        case E_ACCESSDENIED: what = "access denied"; break;
        case HRESULT_FROM_WIN32(ERROR_NOT_FOUND): what = "not found"; break;
        case REGDB_E_CLASSNOTREG: what = "no audio service"; break;
        default: break;
    }
    char code[16];
    std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(hr));
    return std::string(what) + ", " + code;
}

EndpointInfo infoOf(IMMDevice* device, bool output) {
    EndpointInfo info;
    info.output = output;
    LPWSTR id = nullptr;
    if (SUCCEEDED(device->GetId(&id))) {
        info.id = utf8(id);
        CoTaskMemFree(id);
    }
    IPropertyStore* properties = nullptr;
    if (SUCCEEDED(device->OpenPropertyStore(STGM_READ, &properties))) {
        PROPVARIANT name;
        PropVariantInit(&name);
        if (SUCCEEDED(properties->GetValue(kFriendlyName, &name)) && name.vt == VT_LPWSTR)
            info.name = utf8(name.pwszVal);
        PropVariantClear(&name);
        release(properties);
    }
    if (info.name.empty()) info.name = info.id;
    return info;
}

// The mix format as our conversion takes it; false for one it does not.
bool formatOf(const WAVEFORMATEX& f, PcmFormat& format) {
    bool isFloat = f.wFormatTag == WAVE_FORMAT_IEEE_FLOAT;
    bool isPcm = f.wFormatTag == WAVE_FORMAT_PCM;
    if (f.wFormatTag == WAVE_FORMAT_EXTENSIBLE && f.cbSize >= 22) {
        const auto& e = reinterpret_cast<const WAVEFORMATEXTENSIBLE&>(f);
        isFloat = IsEqualGUID(e.SubFormat, kSubtypeFloat);
        isPcm = IsEqualGUID(e.SubFormat, kSubtypePcm);
    }
    format.channels = f.nChannels;
    if (isFloat && f.wBitsPerSample == 32) format.type = SampleType::F32;
    else if (isPcm && f.wBitsPerSample == 8) format.type = SampleType::U8;
    else if (isPcm && f.wBitsPerSample == 16) format.type = SampleType::S16;
    else if (isPcm && f.wBitsPerSample == 24) format.type = SampleType::S24;
    // 24 valid bits in 32 are the top ones: a 32-bit sample's top 16 bits are the same.
    else if (isPcm && f.wBitsPerSample == 32) format.type = SampleType::S32;
    else return false;
    return f.nChannels > 0 && f.nBlockAlign == pcmFrameBytes(format);
}

// How long an output takes from the mix to the ear, as a render stream on it reports: the
// stream's latency. 0 when it does not say.
double outputLatency(IMMDevice* device) {
    IAudioClient* client = nullptr;
    WAVEFORMATEX* mix = nullptr;
    REFERENCE_TIME latency = 0;
    if (SUCCEEDED(device->Activate(kIAudioClient, CLSCTX_ALL, nullptr, reinterpret_cast<void**>(&client))) &&
        SUCCEEDED(client->GetMixFormat(&mix)) &&
        SUCCEEDED(client->Initialize(AUDCLNT_SHAREMODE_SHARED, 0, 0, 0, mix, nullptr)) &&
        SUCCEEDED(client->GetStreamLatency(&latency))) {
    } else {
        latency = 0;
    }
    if (mix) CoTaskMemFree(mix);
    release(client);
    return static_cast<double>(latency) / 1e7;
}

class Notices : public IMMNotificationClient {
public:
    std::atomic<unsigned> changes{0};
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, kIMMNotificationClient)) {
            *out = static_cast<IMMNotificationClient*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    // Lives as long as the endpoints object, which unregisters it first.
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE OnDefaultDeviceChanged(EDataFlow flow, ERole role, LPCWSTR) override {
        if (flow == eRender && role == eConsole) ++changes;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnDeviceStateChanged(LPCWSTR, DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDeviceAdded(LPCWSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDeviceRemoved(LPCWSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnPropertyValueChanged(LPCWSTR, const PROPERTYKEY) override { return S_OK; }
};

class WasapiStream : public SoundStream {
public:
    ~WasapiStream() override {
        if (client_) client_->Stop();
        release(capture_);
        release(client_);
    }
    PcmFormat format() const override { return format_; }
    int rate() const override { return rate_; }
    double leadSeconds() const override { return lead_; }

    PacketResult read(std::vector<uint8_t>& bytes, size_t& frames, bool& silent) override {
        UINT32 waiting = 0;
        HRESULT hr = capture_->GetNextPacketSize(&waiting);
        if (FAILED(hr)) return failure(hr);
        if (waiting == 0) return PacketResult::Empty;
        BYTE* data = nullptr;
        UINT32 count = 0;
        DWORD flags = 0;
        hr = capture_->GetBuffer(&data, &count, &flags, nullptr, nullptr);
        if (FAILED(hr)) return failure(hr);
        if (hr == AUDCLNT_S_BUFFER_EMPTY) return PacketResult::Empty;
        const size_t size = static_cast<size_t>(count) * frameBytes_;
        bytes.resize(size);
        silent = (flags & AUDCLNT_BUFFERFLAGS_SILENT) != 0 || !data;
        if (silent) std::memset(bytes.data(), 0, size);
        else std::memcpy(bytes.data(), data, size);
        frames = count;
        capture_->ReleaseBuffer(count);
        return PacketResult::Data;
    }

    IAudioClient* client_ = nullptr;
    IAudioCaptureClient* capture_ = nullptr;
    PcmFormat format_;
    size_t frameBytes_ = 0;
    int rate_ = 0;
    double lead_ = 0;

private:
    static PacketResult failure(HRESULT hr) {
        return hr == AUDCLNT_E_DEVICE_INVALIDATED ? PacketResult::Invalidated : PacketResult::Failed;
    }
};

}  // namespace

struct WasapiEndpoints::State {
    IMMDeviceEnumerator* enumerator = nullptr;
    HRESULT enumeratorResult = E_FAIL;
    bool comStarted = false, listening = false;
    Notices notices;
};

WasapiEndpoints::WasapiEndpoints() : state_(std::make_unique<State>()) {}

WasapiEndpoints::~WasapiEndpoints() = default;

void WasapiEndpoints::threadStarts() {
    State& s = *state_;
    s.comStarted = SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    s.enumeratorResult = CoCreateInstance(kMMDeviceEnumerator, nullptr, CLSCTX_ALL, kIMMDeviceEnumerator,
                                          reinterpret_cast<void**>(&s.enumerator));
    if (SUCCEEDED(s.enumeratorResult))
        s.listening = SUCCEEDED(s.enumerator->RegisterEndpointNotificationCallback(&s.notices));
}

void WasapiEndpoints::threadEnds() {
    State& s = *state_;
    if (s.listening) s.enumerator->UnregisterEndpointNotificationCallback(&s.notices);
    s.listening = false;
    release(s.enumerator);
    if (s.comStarted) CoUninitialize();
    s.comStarted = false;
}

bool WasapiEndpoints::list(std::vector<EndpointInfo>& endpoints, std::string& error) {
    State& s = *state_;
    if (!s.enumerator) return error = describe(s.enumeratorResult), false;
    IMMDeviceCollection* all = nullptr;
    const HRESULT hr = s.enumerator->EnumAudioEndpoints(eAll, DEVICE_STATE_ACTIVE, &all);
    if (FAILED(hr)) return error = describe(hr), false;
    UINT count = 0;
    all->GetCount(&count);
    for (UINT i = 0; i < count; ++i) {
        IMMDevice* device = nullptr;
        if (FAILED(all->Item(i, &device))) continue;
        IMMEndpoint* endpoint = nullptr;
        EDataFlow flow = eRender;
        if (SUCCEEDED(device->QueryInterface(kIMMEndpoint, reinterpret_cast<void**>(&endpoint)))) {
            endpoint->GetDataFlow(&flow);
            release(endpoint);
        }
        endpoints.push_back(infoOf(device, flow == eRender));
        release(device);
    }
    release(all);
    return true;
}

bool WasapiEndpoints::defaultOutput(EndpointInfo& endpoint, std::string& error) {
    State& s = *state_;
    if (!s.enumerator) return error = describe(s.enumeratorResult), false;
    IMMDevice* device = nullptr;
    const HRESULT hr = s.enumerator->GetDefaultAudioEndpoint(eRender, eConsole, &device);
    if (FAILED(hr)) return error = hr == HRESULT_FROM_WIN32(ERROR_NOT_FOUND) ? "no output" : describe(hr), false;
    endpoint = infoOf(device, true);
    release(device);
    return true;
}

unsigned WasapiEndpoints::defaultChanges() const { return state_->notices.changes.load(); }

std::unique_ptr<SoundStream> WasapiEndpoints::open(const EndpointInfo& endpoint, std::string& error) {
    State& s = *state_;
    if (!s.enumerator) return error = describe(s.enumeratorResult), nullptr;
    IMMDevice* device = nullptr;
    HRESULT hr = s.enumerator->GetDevice(wide(endpoint.id).c_str(), &device);
    if (FAILED(hr)) return error = describe(hr), nullptr;
    auto stream = std::make_unique<WasapiStream>();
    WAVEFORMATEX* mix = nullptr;
    hr = device->Activate(kIAudioClient, CLSCTX_ALL, nullptr, reinterpret_cast<void**>(&stream->client_));
    if (SUCCEEDED(hr)) hr = stream->client_->GetMixFormat(&mix);
    if (SUCCEEDED(hr) && !formatOf(*mix, stream->format_)) hr = AUDCLNT_E_UNSUPPORTED_FORMAT;
    // An output hands over the mix it plays (loopback); an input what it hears.
    if (SUCCEEDED(hr))
        hr = stream->client_->Initialize(AUDCLNT_SHAREMODE_SHARED, endpoint.output ? AUDCLNT_STREAMFLAGS_LOOPBACK : 0,
                                         kBufferHns, 0, mix, nullptr);
    if (SUCCEEDED(hr))
        hr = stream->client_->GetService(kIAudioCaptureClient, reinterpret_cast<void**>(&stream->capture_));
    if (SUCCEEDED(hr)) {
        stream->rate_ = static_cast<int>(mix->nSamplesPerSec);
        stream->frameBytes_ = pcmFrameBytes(stream->format_);
        // The mix is handed over as it goes to the device: the ear hears it the output's
        // latency later. An input's frames were heard as they arrived.
        stream->lead_ = endpoint.output ? outputLatency(device) : 0;
        hr = stream->client_->Start();
    }
    if (mix) CoTaskMemFree(mix);
    release(device);
    if (FAILED(hr)) return error = describe(hr), nullptr;
    return stream;
}
