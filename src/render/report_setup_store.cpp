#include "render/report_setup_store.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QSettings>
#include <QString>

#include <cstring>

#include "files/atomic_file.h"
#include "files/file_bytes.h"

namespace kenvo {

namespace {

constexpr const char* ClinicKey = "Report/clinicName";
constexpr const char* LogoKey = "Report/logoFile";
constexpr const char* LogoCopyName = "report-logo.png";

bool decode(const std::string& path, QImage& image, std::string& error) {
    std::vector<uint8_t> bytes;
    if (!readRegularFile(path, MaxLogoFileBytes, bytes, error)) return false;
    if (!image.loadFromData(bytes.data(), static_cast<int>(bytes.size())) || image.isNull()) {
        error = fileNameOf(path) + " is not a picture the program can read (PNG, JPEG, BMP, GIF)";
        return false;
    }
    return true;
}

}  // namespace

StoredReportSetup readReportSetup(QSettings& settings) {
    return {settings.value(ClinicKey).toString().toStdString(),
            settings.value(LogoKey).toString().toStdString()};
}

StoredReportSetup readUserReportSetup() {
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, "Kenvotec", "KenvoPlat");
    return readReportSetup(settings);
}

bool storeReportSetup(QSettings& settings, const std::string& clinicName,
                      const std::string& logoSource, bool removeLogo, std::string& error) {
    std::string logoPath = readReportSetup(settings).logoPath;
    if (!logoSource.empty()) {
        QImage image;
        if (!decode(logoSource, image, error)) return false;
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        const QString folder = QFileInfo(settings.fileName()).absolutePath();
        logoPath = (folder + "/" + LogoCopyName).toStdString();
        const auto* data = reinterpret_cast<const uint8_t*>(png.constData());
        if (!writeFileAtomically(logoPath, {data, static_cast<std::size_t>(png.size())}, error,
                                 FileAccess::Private))
            return false;
    } else if (removeLogo) {
        logoPath.clear();
    }
    settings.setValue(ClinicKey, QString::fromStdString(clinicName));
    settings.setValue(LogoKey, QString::fromStdString(logoPath));
    settings.sync();
    return true;
}

bool loadLogo(const std::string& path, RasterImage& logo, std::string& error) {
    QImage image;
    if (!decode(path, image, error)) return false;
    const QImage rgba = image.convertToFormat(QImage::Format_RGBA8888);
    RasterImage out;
    out.width = rgba.width();
    out.height = rgba.height();
    out.rgba.resize(static_cast<std::size_t>(out.width) * out.height * 4);
    for (int y = 0; y < out.height; ++y)
        std::memcpy(out.rgba.data() + static_cast<std::size_t>(y) * out.width * 4,
                    rgba.constScanLine(y), static_cast<std::size_t>(out.width) * 4);
    logo = std::move(out);
    return true;
}

}  // namespace kenvo
