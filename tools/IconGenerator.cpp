// Draws Corvatone's application icon at build time.
//
//     IconGenerator hicolor <theme folder> <icon name> <size>...
//         the icon theme's tree: <folder>/scalable/apps/<name>.svg and
//         <folder>/<N>x<N>/apps/<name>.png for each size N
//     IconGenerator ico <file.ico>
//         a Windows icon file with the 16, 24, 32, 48 and 256 pixel pictures
//     IconGenerator png <size> <file.png>
//         one picture of the given size
#include "IcoFile.h"
#include "IconDrawing.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

void WriteFile(const QString& Path, const QByteArray& Bytes)
{
    const QString Folder = QFileInfo(Path).path();
    QFile File(Path);
    if (!QDir().mkpath(Folder) || !File.open(QIODevice::WriteOnly)
        || File.write(Bytes) != Bytes.size() || !File.flush())
        throw std::runtime_error("cannot write " + Path.toStdString());
}

void WritePng(const QString& Path, int Size)
{
    QDir().mkpath(QFileInfo(Path).path());
    if (!IconDrawing::Render(Size).save(Path, "PNG"))
        throw std::runtime_error("cannot write " + Path.toStdString());
}

void WriteTheme(const QString& Folder, const QString& Name, const std::vector<int>& Sizes)
{
    WriteFile(Folder + "/scalable/apps/" + Name + ".svg", IconDrawing::ScalableSvg());
    for (int Size : Sizes)
        WritePng(QStringLiteral("%1/%2x%2/apps/%3.png").arg(Folder).arg(Size).arg(Name), Size);
}

void WriteIco(const QString& Path)
{
    std::vector<QImage> Images;
    for (int Size : IconDrawing::WindowsSizes)
        Images.push_back(IconDrawing::Render(Size));
    WriteFile(Path, IcoFile::Encode(Images));
}

int PixelSize(const char* Text)
{
    char* End = nullptr;
    const long Size = std::strtol(Text, &End, 10);
    if (*End != '\0' || Size < 1 || Size > 1024)
        throw std::runtime_error(std::string("not a size from 1 to 1024 pixels: ") + Text);
    return int(Size);
}

bool Run(int Argc, char** Argv)
{
    const QString Verb = Argc > 1 ? QString::fromLocal8Bit(Argv[1]) : QString();
    auto Argument = [&](int Index) { return QString::fromLocal8Bit(Argv[Index]); };
    if (Verb == "hicolor" && Argc >= 5) {
        std::vector<int> Sizes;
        for (int Index = 4; Index < Argc; ++Index)
            Sizes.push_back(PixelSize(Argv[Index]));
        WriteTheme(Argument(2), Argument(3), Sizes);
    } else if (Verb == "ico" && Argc == 3) {
        WriteIco(Argument(2));
    } else if (Verb == "png" && Argc == 4) {
        WritePng(Argument(3), PixelSize(Argv[2]));
    } else {
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication Application(argc, argv);
    try {
        if (Run(argc, argv))
            return EXIT_SUCCESS;
        std::fprintf(stderr,
            "usage: IconGenerator hicolor <theme folder> <icon name> <size>...\n"
            "       IconGenerator ico <file.ico>\n"
            "       IconGenerator png <size> <file.png>\n");
    } catch (const std::exception& E) {
        std::fprintf(stderr, "IconGenerator: %s\n", E.what());
    }
    return EXIT_FAILURE;
}
