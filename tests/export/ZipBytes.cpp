#include "ZipBytes.h"

#include <QFile>
#include <QtEndian>
#include <zip.h>
#include <zlib.h>

namespace {

void Put16(QByteArray& out, quint16 v) {
    char b[2];
    qToLittleEndian(v, b);
    out.append(b, 2);
}
void Put32(QByteArray& out, quint32 v) {
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}
void Put64(QByteArray& out, quint64 v) {
    char b[8];
    qToLittleEndian(v, b);
    out.append(b, 8);
}

QByteArray RawDeflate(const QByteArray& data) {
    z_stream z{};
    deflateInit2(&z, 9, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY);
    QByteArray out(qsizetype(deflateBound(&z, uLong(data.size()))), '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
    z.avail_in = uInt(data.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = uInt(out.size());
    deflate(&z, Z_FINISH);
    out.resize(qsizetype(z.total_out));
    deflateEnd(&z);
    return out;
}

} // namespace

QByteArray ZipBytes(const std::vector<ZipEntry>& entries) {
    QByteArray out, central;
    for (const ZipEntry& e : entries) {
        const QByteArray name = e.name.toUtf8();
        const QByteArray packed = e.deflate ? RawDeflate(e.data) : e.data;
        const quint64 size = e.declared >= 0 ? quint64(e.declared) : quint64(e.data.size());
        const bool zip64 = size >= 0xFFFFFFFFu;
        const quint32 crc = quint32(
            crc32(0, reinterpret_cast<const Bytef*>(e.data.constData()), uInt(e.data.size())));
        QByteArray extra;
        if (zip64) {
            Put16(extra, 0x0001);
            Put16(extra, 16);
            Put64(extra, size);
            Put64(extra, quint64(packed.size()));
        }
        const auto header = [&](QByteArray& h, bool local) {
            Put32(h, local ? 0x04034b50 : 0x02014b50);
            if (!local)
                Put16(h, 45);
            Put16(h, zip64 ? 45 : 20);
            Put16(h, 0x0800); // UTF-8 names
            Put16(h, e.deflate ? 8 : 0);
            Put16(h, 0);
            Put16(h, 0x21);
            Put32(h, crc);
            Put32(h, zip64 ? 0xFFFFFFFFu : quint32(packed.size()));
            Put32(h, zip64 ? 0xFFFFFFFFu : quint32(size));
            Put16(h, quint16(name.size()));
            Put16(h, quint16(extra.size()));
        };
        QByteArray c;
        header(c, false);
        Put16(c, 0); // comment
        Put16(c, 0); // disk
        Put16(c, 0); // internal attributes
        Put32(c, 0); // external attributes
        Put32(c, quint32(out.size()));
        central += c + name + extra;
        header(out, true);
        out += name + extra + packed;
    }
    const quint32 at = quint32(out.size());
    out += central;
    Put32(out, 0x06054b50);
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, quint16(entries.size()));
    Put16(out, quint16(entries.size()));
    Put32(out, quint32(central.size()));
    Put32(out, at);
    Put16(out, 0);
    return out;
}

std::vector<ZipEntry> ZipEntries(const QString& path) {
    std::vector<ZipEntry> entries;
    zip_t* zip = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, nullptr);
    if (!zip)
        return entries;
    for (zip_int64_t i = 0; i < zip_get_num_entries(zip, 0); ++i) {
        zip_stat_t stat;
        zip_file_t* file = nullptr;
        if (zip_stat_index(zip, zip_uint64_t(i), 0, &stat) != 0 ||
            !(file = zip_fopen_index(zip, zip_uint64_t(i), 0)))
            break;
        QByteArray data(qsizetype(stat.size), '\0');
        zip_fread(file, data.data(), stat.size);
        zip_fclose(file);
        entries.push_back({QString::fromUtf8(stat.name), data, true, -1});
    }
    zip_discard(zip);
    return entries;
}
