// sonvera-crosscheck: the plug-in library as a host sees it, the same on
// Linux and on Windows (there under Wine): it loads the library by file,
// renders a fixed signal through one instance, hands that instance's chunk
// to a second one (which must take it and give back the same bytes), runs
// two instances in two threads (which must agree), opens the editor in a
// window of its own on Windows, and writes the first
// instance's output as raw 32-bit floats, so that the outputs of the two
// builds can be compared byte for byte. On Windows a second run unloads the
// library while an editor is still open and its instance never closed, as
// careless hosts do: nothing of the library may run after that.
//
// Usage: sonvera-crosscheck LIBRARY OUTPUT.raw     (exit status 0: all held)
//        sonvera-crosscheck --unload-with-editor-open LIBRARY

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "hosts/vst2/VstInterface.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace {

using Entry = Vst2::AEffect* (*)(Vst2::HostCallback);

constexpr int32_t BlockSize = 256, Blocks = 400;
constexpr float SampleRate = 48000.0f;

Entry LoadEntry(const char* path) {
#ifdef _WIN32
    HMODULE library = LoadLibraryA(path);
    // Through void*: the system hands out every symbol as one function type.
    return library != nullptr
               ? reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(library, "VSTPluginMain")))
               : nullptr;
#else
    void* library = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    return library != nullptr ? reinterpret_cast<Entry>(dlsym(library, "VSTPluginMain")) : nullptr;
#endif
}

intptr_t Host(Vst2::AEffect*, int32_t opcode, int32_t, intptr_t, void*, float) {
    return opcode == Vst2::audioMasterVersion ? 2400 : 0;
}

struct Instance {
    Vst2::AEffect* effect;
    explicit Instance(Entry entry) : effect(entry(Host)) {
        if (effect == nullptr) return;
        Dispatch(Vst2::effOpen);
        Dispatch(Vst2::effSetSampleRate, 0, 0, nullptr, SampleRate);
        Dispatch(Vst2::effSetBlockSize, 0, BlockSize);
        Dispatch(Vst2::effMainsChanged, 0, 1);
    }
    ~Instance() {
        if (effect != nullptr) Dispatch(Vst2::effClose);
    }
    intptr_t Dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr, float opt = 0) {
        return effect->dispatcher(effect, opcode, index, value, ptr, opt);
    }
    std::vector<uint8_t> Chunk() {
        void* data = nullptr;
        const intptr_t size = Dispatch(Vst2::effGetChunk, 0, 0, &data);
        return size > 0 && data != nullptr
                   ? std::vector<uint8_t>(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size)
                   : std::vector<uint8_t>();
    }
    // Renders the fixed signal: a buzzy carrier and a noise modulator in bursts.
    std::vector<float> Render(int32_t blocks) {
        std::vector<float> in[4], out[2];
        for (auto& channel : in) channel.resize(BlockSize);
        for (auto& channel : out) channel.resize(BlockSize);
        float* inputs[4] = {in[0].data(), in[1].data(), in[2].data(), in[3].data()};
        float* outputs[2] = {out[0].data(), out[1].data()};
        std::vector<float> rendered;
        uint32_t seed = 12345;
        int64_t t = 0;
        for (int32_t b = 0; b < blocks; ++b) {
            for (int32_t i = 0; i < BlockSize; ++i, ++t) {
                const float saw = static_cast<float>(t % 218) / 109.0f - 1.0f;  // about 220 Hz
                seed = seed * 1664525u + 1013904223u;
                const float noise = static_cast<float>(static_cast<int32_t>(seed)) * (1.0f / 2147483648.0f);
                const float burst = (t / 6000) % 2 == 0 ? 0.5f : 0.05f;
                in[0][i] = in[1][i] = 0.5f * saw;
                in[2][i] = in[3][i] = burst * noise;
            }
            effect->processReplacing(effect, inputs, outputs, BlockSize);
            for (int32_t i = 0; i < BlockSize; ++i) {
                rendered.push_back(out[0][i]);
                rendered.push_back(out[1][i]);
            }
        }
        return rendered;
    }
};

bool Check(bool held, const char* what) {
    std::printf("%s: %s\n", held ? "ok" : "FAILED", what);
    return held;
}

#ifdef _WIN32
// A top-level window of ours for the editor to embed into; null without a window system.
HWND HostWindow() {
    WNDCLASSW type{};
    type.lpfnWndProc = DefWindowProcW;
    type.hInstance = GetModuleHandleW(nullptr);
    type.lpszClassName = L"CrossCheckHost";
    RegisterClassW(&type);  // a second registration fails harmlessly
    return CreateWindowExW(0, L"CrossCheckHost", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 1200, 600, nullptr,
                           nullptr, type.hInstance, nullptr);
}

// The editor in a window of ours, as a Windows host embeds it: it must fill
// its rectangle and answer a click with the host's message loop running.
bool CheckEditor(Entry entry) {
    HWND parent = HostWindow();
    if (parent == nullptr) {
        std::printf("skipped: no window system for the editor\n");
        return true;
    }
    bool held = true;
    {
        Instance instance(entry);
        Vst2::ERect* rect = nullptr;
        held &= Check(instance.Dispatch(Vst2::effEditGetRect, 0, 0, &rect) == 1 && rect != nullptr,
                      "the editor has a size");
        held &= Check(instance.Dispatch(Vst2::effEditOpen, 0, 0, parent) == 1, "the editor opens in the window");
        const auto pump = [&](int times) {
            for (int i = 0; i < times; ++i) {
                MSG message;
                while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
                instance.Dispatch(Vst2::effEditIdle);
                Sleep(10);
            }
        };
        pump(20);
        HWND editor = GetWindow(parent, GW_CHILD);
        RECT client{};
        if (editor != nullptr) GetClientRect(editor, &client);
        held &= Check(editor != nullptr && rect != nullptr && client.right == rect->right - rect->left &&
                          client.bottom == rect->bottom - rect->top,
                      "it fills its rectangle");
        const int32_t freeze = 20;  // the Freeze switch, in the Detector panel
        PostMessageW(editor, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(365, 266));
        PostMessageW(editor, WM_LBUTTONUP, 0, MAKELPARAM(365, 266));
        pump(10);
        held &= Check(instance.effect->getParameter(instance.effect, freeze) == 1.0f, "a click switches Freeze on");
        instance.Dispatch(Vst2::effEditClose);
        held &= Check(GetWindow(parent, GW_CHILD) == nullptr, "closing removes it");
    }
    DestroyWindow(parent);
    return held;
}

// Opens an editor that the host then neither idles nor closes, calls
// ExitDll and frees the library; the process must live on.
int UnloadWithEditorOpen(const char* path) {
    HMODULE library = LoadLibraryA(path);
    if (library == nullptr) return 2;
    const auto entry = reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(library, "VSTPluginMain")));
    const auto exitDll = reinterpret_cast<bool (*)()>(reinterpret_cast<void*>(GetProcAddress(library, "ExitDll")));
    HWND parent = HostWindow();
    if (entry == nullptr || exitDll == nullptr || parent == nullptr) return 2;
    auto* instance = new Instance(entry);  // never closed
    bool held = Check(instance->Dispatch(Vst2::effEditOpen, 0, 0, parent) == 1, "the editor opens");
    exitDll();
    FreeLibrary(library);
    for (int i = 0; i < 60; ++i) {  // well past the moment the editor's own idle would take over
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        Sleep(10);
    }
    held &= Check(true, "the process lives on after the library was freed with its editor open");
    std::fflush(stdout);
    std::_Exit(held ? 0 : 1);  // the instance stays: its code may be gone
}
#endif

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    if (argc == 3 && std::strcmp(argv[1], "--unload-with-editor-open") == 0) return UnloadWithEditorOpen(argv[2]);
#endif
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s LIBRARY OUTPUT.raw\n", argv[0]);
        return 2;
    }
    const Entry entry = LoadEntry(argv[1]);
    if (entry == nullptr) {
        std::fprintf(stderr, "%s: no VSTPluginMain\n", argv[1]);
        return 2;
    }
    bool held = true;
    Instance first(entry);
    if (!Check(first.effect != nullptr && first.effect->magic == Vst2::kEffectMagic, "the library gives an effect"))
        return 1;
    first.effect->setParameter(first.effect, 6, 0.25f);  // another mode than the default
    const std::vector<float> output = first.Render(Blocks);
    double energy = 0;
    for (float s : output) energy += static_cast<double>(s) * s;
    held &= Check(energy > 1.0, "the output carries signal");

    const std::vector<uint8_t> chunk = first.Chunk();
    Instance second(entry);
    second.Dispatch(Vst2::effSetChunk, 0, static_cast<intptr_t>(chunk.size()), const_cast<uint8_t*>(chunk.data()));
    held &= Check(!chunk.empty() && second.Dispatch(Vst2::effVendorSpecific, Vst2::FourCC('S', 'n', 'O', 'k')) == 1,
                  "a second instance takes the first one's chunk");
    held &= Check(second.Chunk() == chunk, "and gives back the same bytes");

    std::vector<float> left, right;
    std::thread a([&] { left = Instance(entry).Render(Blocks / 2); });
    std::thread b([&] { right = Instance(entry).Render(Blocks / 2); });
    a.join();
    b.join();
    held &= Check(!left.empty() && left == right, "two instances in two threads agree");

#ifdef _WIN32
    held &= CheckEditor(entry);
#endif

    FILE* file = std::fopen(argv[2], "wb");
    held &= Check(file != nullptr && std::fwrite(output.data(), sizeof(float), output.size(), file) == output.size() &&
                      std::fclose(file) == 0,
                  "the output is written");
    return held ? 0 : 1;
}
