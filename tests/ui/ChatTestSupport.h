#pragma once
// What the chat window tests share: the runtime's pictures and skin images in the test's working
// directory, a folder that stands in for the module's directory with one of the small component
// libraries as libkivra.so, and readings of the conversation view.

#include "ui/chat/ChatComponentLibraries.h"
#include "ui/chat/ChatComponentNotice.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>

#include <vector>

namespace pellix {

// Makes data/ of the working directory the build's runtime data: skin images, the scroll bitmap,
// the emoticon pictures.
inline bool LinkRuntimeData() {
    return QFile::link(QStringLiteral(PELLIX_RUNTIME_DIR "/data"), QStringLiteral("data"));
}

// While it lives, the chat windows open their libkivra.so from a folder of their own that holds
// the given test library under that name, or nothing when none is given. Every library opened
// before is closed first, and again at the end, when no component object may be alive any more.
class ComponentLibraryFolder {
public:
    explicit ComponentLibraryFolder(const char* testLibrary) {
        ChatComponentLibraries::Release();
        ForgetChatComponentFailure();
        if (testLibrary != nullptr)
            m_bReady = QFile::link(QStringLiteral(CHAT_TEST_LIBRARY_DIR "/") +
                                       QString::fromLatin1(testLibrary),
                                   m_folder.filePath(QStringLiteral("libkivra.so")));
        ChatComponentLibraries::SetDirectory(m_folder.path().toStdString());
    }
    ~ComponentLibraryFolder() {
        ChatComponentLibraries::Release();
        ChatComponentLibraries::SetDirectory({});
        ForgetChatComponentFailure();
    }
    ComponentLibraryFolder(const ComponentLibraryFolder&) = delete;
    ComponentLibraryFolder& operator=(const ComponentLibraryFolder&) = delete;

    bool Ready() const { return m_bReady; }

private:
    QTemporaryDir m_folder;
    bool m_bReady = true;
};

// The paragraphs of a view's document, in order.
inline std::vector<QTextBlock> Paragraphs(const QTextDocument& document) {
    std::vector<QTextBlock> blocks;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        blocks.push_back(block);
    return blocks;
}

// The pictures in a paragraph.
inline int PictureCount(const QTextBlock& block) {
    int pictures = 0;
    for (auto piece = block.begin(); !piece.atEnd(); ++piece) {
        const QTextFragment fragment = piece.fragment();
        if (fragment.charFormat().isImageFormat())
            pictures += fragment.length();
    }
    return pictures;
}

} // namespace pellix
