#pragma once
// Holder of one chat component object: names the library file, its factory, the interface id and
// version, makes the object with Load() and destroys it with the holder or the next Load(). Every
// holder of the same library file shares one opened library (ChatComponentLibraries).

#include "kivra/IEmotionSelector.h"
#include "kivra/IMessageProxy.h"
#include "kivra/KivraComponent.h"

#include <cstdint>
#include <memory>
#include <string>
#include <utility>

namespace pellix {

// What one Load asks of the library, and what it got.
struct ChatComponentRequest {
    const std::string& strLibraryFile;
    const std::string& strFactoryName;
    const ComponentGUID* pInterfaceID;
    uint32_t dwVersion;
};

struct ChatComponentResult {
    void* pObject = nullptr;
    std::string strErrorText;   // GBK, one of the loader's four failure texts
    std::string strSystemError; // dlerror()'s text, for a log
};

// Steps of Load after the old object is gone: the library's entry, the library opened once, the
// factory, the object.
ChatComponentResult CreateChatComponentObject(const ChatComponentRequest& request);
// Adds an empty entry for the library file to the process-wide table when there is none.
void RegisterChatComponentLibrary(const std::string& libraryFile);

template <class TInterface> class ChatComponent {
public:
    ChatComponent(const ComponentGUID* interfaceID, uint32_t version, std::string libraryFile,
                  std::string factoryName)
        : m_strFactoryName(std::move(factoryName)), m_strLibraryFile(std::move(libraryFile)),
          m_pInterfaceID(interfaceID), m_dwVersion(version) {
        RegisterChatComponentLibrary(m_strLibraryFile);
    }
    virtual ~ChatComponent() = default;
    ChatComponent(const ChatComponent&) = delete;
    ChatComponent& operator=(const ChatComponent&) = delete;

    // Releases the object there is, then makes a new one; false with the error text set when the
    // library, its factory or the object cannot be had.
    bool Load() {
        m_pObject.reset();
        ChatComponentResult result = CreateChatComponentObject(
            {m_strLibraryFile, m_strFactoryName, m_pInterfaceID, m_dwVersion});
        if (result.pObject == nullptr) {
            m_strErrorText = std::move(result.strErrorText);
            m_strSystemError = std::move(result.strSystemError);
            return false;
        }
        m_pObject.reset(static_cast<TInterface*>(result.pObject));
        return true;
    }

    // The object after a successful Load, else null.
    TInterface* GetObject() const { return m_pObject.get(); }
    TInterface* operator->() const { return m_pObject.get(); }
    // GBK text of the last failure.
    const std::string& GetErrorText() const { return m_strErrorText; }
    // What the system said about the last failure (dlerror), for a log.
    const std::string& GetSystemError() const { return m_strSystemError; }

private:
    struct Destroyer {
        void operator()(TInterface* object) const { object->Destroy(); }
    };

    std::string m_strFactoryName;
    std::string m_strLibraryFile;
    const ComponentGUID* m_pInterfaceID;
    uint32_t m_dwVersion;
    std::unique_ptr<TInterface, Destroyer> m_pObject;
    std::string m_strErrorText;
    std::string m_strSystemError;
};

// The chat display and the emoticon picker as the chat windows hold them.
class CMessageProxyComponent : public ChatComponent<IMessageProxy> {
public:
    CMessageProxyComponent();
};

class CEmotionSelectorComponent : public ChatComponent<IEmotionSelector> {
public:
    CEmotionSelectorComponent();
};

} // namespace pellix
