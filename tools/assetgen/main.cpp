// Draws the skin images and the emoticon pictures and synthesises the sounds into a runtime
// folder:
//   pellix_assetgen <runtime folder>

#include "AssetWriter.h"
#include "ButtonImages.h"
#include "EmotionPictures.h"
#include "FrameImages.h"
#include "PanelImages.h"
#include "Sounds.h"

#include <QGuiApplication>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <runtime folder>\n", argv[0]);
        return 2;
    }
    // Drawing needs a GUI application but never a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    AssetWriter writer(QString::fromLocal8Bit(argv[1]));
    FrameImages::Write(writer);
    ButtonImages::Write(writer);
    PanelImages::Write(writer);
    EmotionPictures::Write(writer);
    Sounds::Write(writer);
    for (const QString& failed : writer.Failed())
        std::fprintf(stderr, "could not write %s\n", qPrintable(failed));
    return writer.Failed().isEmpty() ? 0 : 1;
}
