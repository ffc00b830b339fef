#include "mdlExtractSWF.h"

#include "platform/MessageBoxes.h"

#include <QDir>

namespace mdlExtractSWF {

namespace {

bool extract(platform::MessageBoxes& messages, QWidget* owner, const QString& ExePath, const QString& SwfPath,
    Variant variant)
{
    const std::expected<bool, ExtractFailure> written = extractMovie(ExePath, SwfPath, variant);
    if (written)
        return *written;
    messages.warning(owner, QStringLiteral("错误"), QStringLiteral("错误：") + describe(written.error()));
    return false;
}

} // namespace

bool ExtractSWF(platform::MessageBoxes& messages, QWidget* owner, const QString& ExePath,
    const QString& SwfPath, int FlashVersion)
{
    const std::optional<Variant> variant = variantFor(FlashVersion);
    if (!variant)
        return false;
    if (*variant == Variant::Flash56)
        return ExtractFlash56(messages, owner, ExePath, SwfPath);
    return ExtractFlash7(messages, owner, ExePath, SwfPath);
}

bool ExtractFlash56(
    platform::MessageBoxes& messages, QWidget* owner, const QString& ExePath, const QString& SwfPath)
{
    return extract(messages, owner, ExePath, SwfPath, Variant::Flash56);
}

bool ExtractFlash7(
    platform::MessageBoxes& messages, QWidget* owner, const QString& ExePath, const QString& SwfPath)
{
    return extract(messages, owner, ExePath, SwfPath, Variant::Flash7);
}

QString describe(const ExtractFailure& failure)
{
    const QString path = QDir::toNativeSeparators(failure.path);
    // The system's own words, where it gave some, follow in brackets.
    const QString reason
        = failure.reason.isEmpty() ? QString() : QStringLiteral("（%1）").arg(failure.reason);
    switch (failure.kind) {
    case ExtractFailure::Kind::OutputIsInput:
        return QStringLiteral("要保存的swf文件“%1”就是要解析的EXE文件本身，请换一个文件名。").arg(path);
    case ExtractFailure::Kind::CannotOpenInput:
        return QStringLiteral("无法打开文件“%1”%2。").arg(path, reason);
    case ExtractFailure::Kind::CannotReadInput:
        return QStringLiteral("读取文件“%1”时出错%2。").arg(path, reason);
    case ExtractFailure::Kind::NothingAfterSignature:
        return QStringLiteral("文件“%1”在swf标记之后就结束了，没有可以提取的内容。").arg(path);
    case ExtractFailure::Kind::CannotWriteOutput:
        return QStringLiteral("无法写入文件“%1”%2。").arg(path, reason);
    }
    return {};
}

} // namespace mdlExtractSWF
