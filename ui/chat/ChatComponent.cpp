#include "ChatComponent.h"

#include "ChatComponentLibraries.h"
#include "text/StringUtility.h"

namespace pellix {

namespace {

// The loader's texts are written once here in UTF-8 and reported in GBK.
std::string Gbk(const char* utf8) {
    return StringUtility::UTF8ToAnsi(utf8);
}

// "%s 加载失败，错误代码：%ld ！"
ChatComponentResult LoadFailed(const std::string& file, const LibraryError& error) {
    return {nullptr, file + Gbk(" 加载失败，错误代码：") + std::to_string(error.nCode) + Gbk(" ！"),
            error.strDetail};
}

// "%s 组件创建函数 %s 不存在，错误代码：%u ！"
ChatComponentResult FactoryMissing(const std::string& file, const std::string& factory,
                                   const LibraryError& error) {
    return {nullptr,
            file + Gbk(" 组件创建函数 ") + factory + Gbk(" 不存在，错误代码：") +
                std::to_string(static_cast<unsigned int>(error.nCode)) + Gbk(" ！"),
            error.strDetail};
}

// "%s 组件创建函数 %s 创建组件失败 ！"
ChatComponentResult CreationFailed(const std::string& file, const std::string& factory) {
    return {nullptr, file + Gbk(" 组件创建函数 ") + factory + Gbk(" 创建组件失败 ！"), {}};
}

} // namespace

void RegisterChatComponentLibrary(const std::string& libraryFile) {
    ChatComponentLibraries::Register(libraryFile);
}

ChatComponentResult CreateChatComponentObject(const ChatComponentRequest& request) {
    const std::string& file = request.strLibraryFile;
    LibraryEntry* entry = ChatComponentLibraries::Find(file);
    // No entry: the table was released since the holder was made (the module is unloading).
    if (entry == nullptr)
        return LoadFailed(file, {});
    LibraryError error;
    if (!ChatComponentLibraries::Open(*entry, file, error))
        return LoadFailed(file, error);
    // The library stays open after a failure from here on; the next Load reuses it.
    void* symbol = ChatComponentLibraries::FindSymbol(*entry, request.strFactoryName, error);
    if (symbol == nullptr)
        return FactoryMissing(file, request.strFactoryName, error);
    const auto factory = reinterpret_cast<ComponentFactory>(symbol);
    void* object = factory(request.pInterfaceID, request.dwVersion);
    if (object == nullptr)
        return CreationFailed(file, request.strFactoryName);
    return {object, {}, {}};
}

CMessageProxyComponent::CMessageProxyComponent()
    : ChatComponent(&IID_IMessageProxy, KIVRA_COMPONENT_VERSION, KIVRA_LIBRARY_FILE,
                    KIVRA_CREATE_MESSAGE_PROXY) {}

CEmotionSelectorComponent::CEmotionSelectorComponent()
    : ChatComponent(&IID_IEmotionSelector, KIVRA_COMPONENT_VERSION, KIVRA_LIBRARY_FILE,
                    KIVRA_CREATE_EMOTION_SELECTOR) {}

} // namespace pellix
