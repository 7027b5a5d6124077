// Host implementation of the emulated DOS file system on a POSIX system.
//
// Drives are host directories: QARO_DRIVES="C=/srv/qaro/c;D=/media/cdrom;A=/mnt/floppy"
// (unset: "C=/"). The current drive and its directory come from the host working directory.
// Attributes: read-only is the owner's write permission bit (cleared = read-only), checked by
// this layer itself so that it holds for root too; hidden, system and archive live in the
// extended attribute "user.qaro.dosattr" (one decimal number), ignored on file systems without
// extended attributes. Table locks are open-file-description locks (fcntl F_OFD_SETLK), so they
// conflict between processes and between two opens in one process, as DOS share modes do.
#pragma once

#include <map>
#include <string>

#include "platform/file_system.h"

namespace qaro {

class PosixFileSystem : public FileSystem {
public:
    // drives: letter -> host directory. host_cwd: where the process stands.
    PosixFileSystem(std::map<char, std::string> drives, const std::string& host_cwd);
    // From QARO_DRIVES and the working directory. Malformed entries are skipped.
    static std::unique_ptr<PosixFileSystem> from_environment();
    // Drive C: = the host root, standing in the host working directory (host paths work as they are).
    static std::unique_ptr<PosixFileSystem> host_view();
    static std::map<char, std::string> parse_drive_map(std::string_view spec);

    std::string full_path(std::string_view path) const override;
    bool drive_available(char letter) const override;
    char current_drive() const override { return cur_drive_; }
    bool set_current_drive(char letter) override;
    std::string current_dir(char letter = 0) const override;
    bool change_dir(std::string_view path) override;

    bool exists(std::string_view path) const override;
    bool is_dir(std::string_view path) const override;
    bool is_file(std::string_view path) const override;
    std::optional<DirEntry> stat(std::string_view path) const override;
    std::vector<DirEntry> list(std::string_view pattern, unsigned include = 0) const override;

    bool set_attributes(std::string_view path, unsigned bits) override;
    bool set_file_time(std::string_view path, const FileTime& t) override;
    bool remove_file(std::string_view path) override;
    bool make_dir(std::string_view path) override;
    bool remove_dir(std::string_view path) override;
    bool rename(std::string_view from, std::string_view to) override;
    bool replace(std::string_view source, std::string_view target) override;
    bool copy_file(std::string_view from, std::string_view to, bool overwrite) override;

    std::unique_ptr<File> open(std::string_view path, OpenMode mode) override;
    std::unique_ptr<File> create(std::string_view path) override;

    int last_error() const override { return err_; }
    void set_last_error(int e) override { err_ = e; }
    std::optional<std::string> host_path(std::string_view path) const override;

private:
    struct Resolved {
        char drive = 0;
        std::vector<std::string> parts;   // DOS components after . and .. are applied
    };
    std::optional<Resolved> resolve(std::string_view path) const;   // sets err_ on a bad drive
    std::optional<std::string> to_host(std::string_view path) const;
    bool fail(int dos_error) const {
        err_ = dos_error;
        return false;
    }
    bool ok() const {
        err_ = 0;
        return true;
    }

    std::map<char, std::string> drives_;
    char cur_drive_ = 'C';
    std::map<char, std::string> cur_dirs_;   // drive -> "DIR\SUB" ("" = root)
    mutable int err_ = 0;
};

// Maps a host errno to a DOS error number.
int dos_error_from_errno(int e);

}  // namespace qaro
