// The file listing `_files` of a package and the extraction of single members.
#include <memory>

#include "platform/file_system.h"
#include "platform/lib_data.h"
#include "platform/lib_files.h"
#include "platform/screen/kit.h"
#include "platform/table/dbf_table.h"
#include "platform/table/work_area.h"
#include "tools/package.h"
#include "tools/package_format.h"

namespace qaro {

namespace {

// Offset of the data area of the package listed last; replaced by each successful listing.
std::uint64_t g_data_offset = 0;

const char* const kListingAlias = "_files";
const char* const kKeyExpression = "padr( extract_name ( _files->sciezka ),  len ( _files->sciezka ) )";

void cannot_open_package() {
    KOM3(Value(Array{Value("Brak mox`liwos`ci otwarcia pliku"), Value("\"QAROVOR.DAT\".")}));
}

Structure listing_structure() {
    return {{"SCIEZKA", 'C', 64, 0}, {"ATTRIB", 'C', 8, 0}, {"DATA", 'D', 8, 0},
            {"CZAS", 'C', 6, 0},     {"WIELKOSC", 'N', 10, 0}, {"POZYCJA", 'N', 10, 0}};
}

// Restores the selected work area when it goes out of scope.
struct KeepArea {
    int area = work_areas().selected();
    ~KeepArea() { work_areas().select(area); }
};

}  // namespace

std::uint64_t package_data_offset() { return g_data_offset; }

bool LISTA_PLIKOW(std::string_view src_in, std::string_view dst_in) {
    std::string src = add_backslash(src_in);
    std::string dst = add_backslash(dst_in);
    auto pkg = fs().open(src + "QAROVOR.DAT", OpenMode::Read);
    if (!pkg) {
        cannot_open_package();
        return false;
    }
    if (auto* old = work_areas().find(kListingAlias)) old->close();
    std::string table = dst + "_TMP_VOR.DBF";
    std::string error;
    if (!DbfTable::create(table, listing_structure(), error) || !work_areas().open(table, kListingAlias, false)) {
        KOM3(Value(Array{Value("Brak mox`liwos`ci utworzenia pliku"), Value("\"" + table + "\".")}));
        return false;
    }
    WorkArea& files = work_areas().current();
    bool ok = true;
    std::uint64_t entries = 0;
    pkg->seek(package::kHeaderSize);
    std::string raw(package::kEntrySize, '\0');
    for (;;) {
        if (pkg->read(raw.data(), raw.size()) != static_cast<long long>(raw.size())) {
            KOM3("Bl`a`d!!!");
            return false;   // the package file closes with its handle; no index is built
        }
        ++entries;
        files.append_blank();
        auto entry = package::parse_entry(raw);
        if (!entry.tag_ok) {
            KOM3(Value(Array{Value("Gl`o`wny plik instalacyjny jest uszkodzony."), Value("Instalacja zostanie przerwana!")}));
            ok = false;
            break;
        }
        files.put("SCIEZKA", Value(entry.member.path));
        files.put("ATTRIB", Value(entry.member.attrib));
        files.put("DATA", Value(STOD(entry.member.date)));
        files.put("CZAS", Value(entry.member.time));
        files.put("WIELKOSC", Value(static_cast<double>(entry.member.length)));
        files.put("POZYCJA", Value(static_cast<double>(entry.member.position)));
        if (entry.last) {
            g_data_offset = package::kHeaderSize + package::kEntrySize * entries;
            break;
        }
    }
    files.commit();
    if (ok) {
        ok = files.create_index(dst + "_TMP_VOR.NTX", kKeyExpression, [](WorkArea& a) {
            return Value(pad_right(EXTRACT_NAME(a.get("SCIEZKA").text()), package::kPathWidth));
        });
    }
    return ok;
}

bool EXTRACT_FILE(std::string_view file, std::string_view src_in, std::string_view dst_in, std::string_view new_name_in) {
    std::string src = add_backslash(src_in);
    std::string dst = add_backslash(dst_in);
    std::string new_name = new_name_in.empty() ? std::string(file) : std::string(new_name_in);

    KeepArea keep;
    if (!work_areas().select(kListingAlias)) return true;
    WorkArea& files = work_areas().current();
    files.seek(Value(upper(file)));
    if (!files.found()) return true;   // not in the package: skipped

    std::string path = rtrim(files.get("SCIEZKA").text());
    if (!member_path_is_safe(path)) {
        KOM3(Value(Array{Value("Niedozwolona s`ciex`ka pliku w pakiecie instalacyjnym:"), Value("\"" + path + "\""),
                         Value("Instalacja zostanie przerwana!")}));
        return false;
    }
    std::string dir = REL_PATH(path);
    std::string attrib = files.get("ATTRIB").text();
    Date date = files.get("DATA").date();
    std::string time = files.get("CZAS").text();
    auto length = static_cast<std::uint64_t>(files.get("WIELKOSC").number());
    auto position = static_cast<std::uint64_t>(files.get("POZYCJA").number());

    auto pkg = fs().open(src + "QAROVOR.DAT", OpenMode::Read);
    if (!pkg) return true;
    if (!TREECREATE(dst + dir)) return false;
    std::string target = dst + dir + new_name;
    auto out = fs().create(target);
    if (!out) {
        KOM3(Value(Array{Value("Brak mox`liwos`ci zapisu pliku"), Value("\"" + target + "\".")}));
        return false;
    }
    bool ok = pkg->seek(g_data_offset + position);
    WindowHandle bar = INITPROGRES();
    std::vector<char> buf(package::kCopyBlock);
    std::uint64_t left = length;
    while (ok && left > 0) {
        GOPROGRES(static_cast<double>(length - left), static_cast<double>(length));
        auto want = static_cast<std::size_t>(std::min<std::uint64_t>(left, buf.size()));
        auto got = pkg->read(buf.data(), want);
        if (got != static_cast<long long>(want)) ok = false;
        if (got > 0 && out->write(buf.data(), static_cast<std::size_t>(got)) != got) ok = false;
        left -= want;
    }
    ok = out->close() && ok;
    ZWIN(bar);

    unsigned sum = (attrib.find('R') != std::string::npos ? 1u : 0u) + (attrib.find('H') != std::string::npos ? 2u : 0u) +
                   (attrib.find('S') != std::string::npos ? 4u : 0u);
    // Date and time first: a read-only file's time cannot be set once the attribute is on.
    std::string hms = time.size() >= 6 ? time.substr(0, 2) + ":" + time.substr(2, 2) + ":" + time.substr(4, 2) : "00:00:00";
    E_SETFDATI(target, date.dtos(), hms);
    E_SETFATTR(target, sum);
    return ok;
}

}  // namespace qaro
