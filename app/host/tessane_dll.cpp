// CTessaneDLL: loads one plug-in module at a time, binds its exports by name
// and turns each call into host strings and result codes.
#include "tessane_dll.h"

#include <cstring>
#include <limits>
#include <new>

namespace {

// FARPROC to the interface's function type; both are plain function pointers.
template <typename Func>
Func bindExport(HMODULE module, const char* name) {
    return reinterpret_cast<Func>(GetProcAddress(module, name));
}

// Copies the text of a block handed over by a plug-in and frees the block
// (locked, without unlocking first: LocalFree releases it either way).
// False when the block cannot be locked or its text cannot be copied; the
// block is freed on every path.
bool takeTextBlock(HLOCAL block, std::string& text) {
    const auto* data = static_cast<const char*>(LocalLock(block));
    if (data == nullptr) {
        LocalFree(block);
        return false;
    }
    bool copied = true;
    try {
        text = data;
    } catch (const std::bad_alloc&) {
        copied = false;
    }
    LocalFree(block);
    return copied;
}

} // namespace

CTessaneDLL::~CTessaneDLL() { Unload(); }

bool CTessaneDLL::Load(const std::string& path) {
    Unload();
    Module = LoadLibraryA(path.c_str());
    return Module != nullptr;
}

void CTessaneDLL::Unload() {
    if (Module != nullptr)
        FreeLibrary(Module);
    Module = nullptr;
    // Entry pointers of the freed module must never be called again.
    GetPluginInfoProc = nullptr;
    IsSupportedProc = nullptr;
    GetCommentProc = nullptr;
    WriteCommentProc = nullptr;
    ConfigurationDlgProc = nullptr;
}

bool CTessaneDLL::BindGetPluginInfo() {
    GetPluginInfoProc = bindExport<CPI_GetPluginInfoFunc>(Module, "GetPluginInfo");
    if (GetPluginInfoProc == nullptr)
        return false;
    return CallGetPluginInfo(CPI_INFO_VERSION) == CPI_VERSION_TEXT;
}

bool CTessaneDLL::BindIsSupported() {
    IsSupportedProc = bindExport<CPI_IsSupportedFunc>(Module, "IsSupported");
    return IsSupportedProc != nullptr;
}

bool CTessaneDLL::BindGetComment() {
    GetCommentProc = bindExport<CPI_GetCommentFunc>(Module, "GetComment");
    return GetCommentProc != nullptr;
}

bool CTessaneDLL::BindWriteComment() {
    WriteCommentProc = bindExport<CPI_WriteCommentFunc>(Module, "WriteComment");
    return WriteCommentProc != nullptr;
}

int32_t CTessaneDLL::BindConfigurationDlg() {
    ConfigurationDlgProc = bindExport<CPI_ConfigurationDlgFunc>(Module, "ConfigurationDlg");
    if (ConfigurationDlgProc == nullptr)
        return 0;
    return CallConfigurationDlg(nullptr, CPI_CONFIG_FLAGS);
}

std::string CTessaneDLL::CallGetPluginInfo(uint32_t index) {
    // Zero-filled, so a plug-in that reports text but writes none gives "".
    char buffer[CPI_INFO_CAPACITY + 1] = {};
    int32_t result = GetPluginInfoProc(index, buffer, CPI_INFO_CAPACITY);
    buffer[CPI_INFO_CAPACITY] = '\0';
    return result != 0 ? std::string(buffer) : std::string();
}

bool CTessaneDLL::CallIsSupported(const unsigned char* image, int32_t size) {
    return IsSupportedProc(image, size) == CPI_OK;
}

int32_t CTessaneDLL::CallGetComment(HWND owner, const unsigned char* image, int32_t size, std::string& comment,
                                    std::string& info) {
    HLOCAL commentBlock = nullptr;
    HLOCAL infoBlock = nullptr;
    int32_t result = GetCommentProc(owner, image, size, &commentBlock, &infoBlock);
    if (result != CPI_OK)
        return result; // the plug-in keeps (and has freed) whatever it made

    // Both blocks are ours now: take them into locals first, so that a block
    // that cannot be taken leaves both strings as they were. A null block
    // leaves its string untouched.
    std::string commentText;
    std::string infoText;
    if (commentBlock != nullptr && !takeTextBlock(commentBlock, commentText)) {
        if (infoBlock != nullptr)
            LocalFree(infoBlock);
        return CPI_ERR_MEMORY;
    }
    if (infoBlock != nullptr && !takeTextBlock(infoBlock, infoText))
        return CPI_ERR_MEMORY;
    if (commentBlock != nullptr)
        comment.swap(commentText);
    if (infoBlock != nullptr)
        info.swap(infoText);
    return CPI_OK;
}

int32_t CTessaneDLL::CallWriteComment(HWND owner, const std::string& fileName, unsigned char* image, int32_t size,
                                      const std::string& comment) {
    // The plug-in sees a zero-terminated text, so a comment holding a zero
    // byte ends there; textLength must always equal the text's length.
    size_t length = std::strlen(comment.c_str());
    if (length > static_cast<size_t>(std::numeric_limits<int32_t>::max()))
        return CPI_ERR_WRITE; // cannot be described by a 32-bit length
    return WriteCommentProc(owner, fileName.c_str(), image, size, comment.c_str(), static_cast<int32_t>(length));
}

int32_t CTessaneDLL::CallConfigurationDlg(HWND owner, int32_t function) {
    return ConfigurationDlgProc(owner, function);
}
