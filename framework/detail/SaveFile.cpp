#include "framework/detail/SaveFile.h"

#include <QByteArray>
#include <QFile>

namespace kivra::framework::detail {

SaveFile::SaveFile(const std::string& path)
    : mFile(QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())))) {}

bool SaveFile::Open() { return mFile.open(QIODevice::WriteOnly); }

bool SaveFile::Write(const char* data, std::size_t size) {
    while (size > 0) {
        const qint64 written = mFile.write(data, static_cast<qint64>(size));
        if (written <= 0) return false;
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

bool SaveFile::Commit() { return mFile.isOpen() && mFile.commit(); }

void SaveFile::Cancel() {
    if (!mFile.isOpen()) return;
    // commit() after cancelWriting() removes the temporary file and keeps the target.
    mFile.cancelWriting();
    mFile.commit();
}

}  // namespace kivra::framework::detail
