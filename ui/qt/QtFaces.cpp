#include "QtFaces.h"

#include "FontFitting.h"

#include <QCoreApplication>
#include <QFile>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QStringList>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace Backend {
namespace {

// No face the program uses comes near this; a larger file is not one of them.
constexpr off_t largestFace = off_t{16} * 1024 * 1024;

QString toQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QFont toQFont(const FontChoice& face)
{
    QFont font(toQString(face.family));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(face.pixelHeight);
    if (face.letterSpacing != 0)
        font.setLetterSpacing(QFont::AbsoluteSpacing, face.letterSpacing);
    return font;
}

TextExtent measure(const FontChoice& face, std::string_view text)
{
    const QFontMetricsF metrics(toQFont(face));
    return {metrics.horizontalAdvance(toQString(text)), metrics.height()};
}

// The families of the face in a file, read only where it is a regular file of
// a face's size: a pipe or a device put in its place would block the start or
// never end. Opening does not wait for a pipe's writer.
QStringList loadFace(const QString& path)
{
    const int file = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (file < 0)
        return {};
    struct stat status {};
    QByteArray face;
    if (::fstat(file, &status) == 0 && S_ISREG(status.st_mode) && status.st_size <= largestFace) {
        face.resize(static_cast<qsizetype>(status.st_size));
        qsizetype got = 0;
        while (got < face.size()) {
            const ssize_t now = ::read(file, face.data() + got, static_cast<std::size_t>(face.size() - got));
            if (now <= 0 && !(now < 0 && errno == EINTR))
                break;
            got += now > 0 ? now : 0;
        }
        face.truncate(got);
    }
    ::close(file);
    const int id = face.isEmpty() ? -1 : QFontDatabase::addApplicationFontFromData(face);
    return id < 0 ? QStringList() : QFontDatabase::applicationFontFamilies(id);
}

}  // namespace

QFont formFont(const FormDefinition& definition, qreal deviceRatio)
{
    FontFitting fitting(definition, measure);
    const QString designedFamily = toQString(definition.font.family);

    // The designed face is a pixel font: sharp only where one form pixel is one
    // device pixel. The build puts it beside the program's folder.
    if (deviceRatio == 1) {
        static const QStringList designedFace =
            loadFace(QCoreApplication::applicationDirPath()
                     + QStringLiteral("/" LOTTO_FONTS_FROM_PROGRAM "/" LOTTO_DESIGNED_FACE));
        if (fitting.tryFamily(definition.font.family))
            return toQFont(fitting.choice());
    }

    // Otherwise a scalable face: the free replacement that matches the designed
    // metrics best first, then whatever is installed.
    static const QStringList replacement = loadFace(QStringLiteral(LOTTO_SCALABLE_FACE));
    QStringList candidates = replacement;
    for (const QString& family : QFontDatabase::families(QFontDatabase::Latin)) {
        if (family != designedFamily && QFontDatabase::isScalable(family) && !QFontDatabase::isFixedPitch(family))
            candidates << family;
    }
    for (const QString& family : candidates) {
        if (fitting.tryFamily(family.toStdString()))
            break;
    }
    return toQFont(fitting.choice());
}

}  // namespace Backend
