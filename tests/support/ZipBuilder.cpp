#include "support/ZipBuilder.h"

#include <zip.h>

namespace tavrin::test {

bool WriteZip(const QString& path, const std::vector<ZipEntry>& entries)
{
    int err = 0;
    zip_t* za = zip_open(path.toLocal8Bit().constData(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    if (!za) return false;
    for (const ZipEntry& e : entries) {
        zip_source_t* src = zip_source_buffer(za, e.data.constData(), static_cast<zip_uint64_t>(e.data.size()), 0);
        const zip_int64_t idx = src ? zip_file_add(za, e.name.toUtf8().constData(), src, ZIP_FL_ENC_UTF_8) : -1;
        if (idx < 0) {
            if (src) zip_source_free(src);
            zip_discard(za);
            return false;
        }
        if (e.msdos)
            zip_file_set_external_attributes(za, static_cast<zip_uint64_t>(idx), 0, ZIP_OPSYS_DOS, e.mode);
        else
            zip_file_set_external_attributes(za, static_cast<zip_uint64_t>(idx), 0, ZIP_OPSYS_UNIX, e.mode << 16);
    }
    return zip_close(za) == 0;
}

std::vector<ZipEntry> ReadZip(const QString& path)
{
    std::vector<ZipEntry> out;
    int err = 0;
    zip_t* za = zip_open(path.toLocal8Bit().constData(), ZIP_RDONLY, &err);
    if (!za) return out;
    const zip_int64_t n = zip_get_num_entries(za, 0);
    for (zip_int64_t i = 0; i < n; ++i) {
        zip_stat_t st;
        if (zip_stat_index(za, static_cast<zip_uint64_t>(i), 0, &st) != 0) continue;
        ZipEntry e;
        e.name = QString::fromUtf8(st.name);
        e.data.resize(static_cast<qsizetype>(st.size));
        zip_file_t* f = zip_fopen_index(za, static_cast<zip_uint64_t>(i), 0);
        if (f) {
            const zip_int64_t got = zip_fread(f, e.data.data(), st.size);
            if (got != static_cast<zip_int64_t>(st.size)) e.data.clear();
            zip_fclose(f);
        }
        zip_uint8_t opsys = 0;
        zip_uint32_t attr = 0;
        zip_file_get_external_attributes(za, static_cast<zip_uint64_t>(i), 0, &opsys, &attr);
        e.mode = attr >> 16;
        out.push_back(e);
    }
    zip_discard(za);
    return out;
}

}  // namespace tavrin::test
