// Scenario tests: the real qarovor and qarotool binaries in a drive sandbox on the host.
#pragma once

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace qaro::scenario {

namespace fsys = std::filesystem;

inline std::string bin(const std::string& name) {
    const char* dir = std::getenv("QARO_BIN_DIR");
    return std::string(dir ? dir : QARO_BIN_DIR) + "/" + name;
}

struct Result {
    int exit_code = -1;
    std::string output;   // standard output and error together
};

// Runs a program in `cwd` with extra environment variables; waits for it.
inline Result run(const std::vector<std::string>& argv, const std::string& cwd,
                  const std::map<std::string, std::string>& env = {}) {
    std::string out_file = cwd + "/.qaro-run-output";
    pid_t pid = ::fork();
    if (pid == 0) {
        if (::chdir(cwd.c_str()) != 0) ::_exit(127);
        FILE* f = std::freopen(out_file.c_str(), "w", stdout);
        if (!f) ::_exit(127);
        ::dup2(::fileno(stdout), 2);
        int devnull = ::open("/dev/null", 0);
        ::dup2(devnull, 0);
        ::unsetenv("QARO_KEYS");
        ::unsetenv("QARO_SCREEN");
        ::unsetenv("QARO_DRIVES");
        for (auto& [k, v] : env) ::setenv(k.c_str(), v.c_str(), 1);
        std::vector<char*> args;
        for (auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    Result r;
    int status = 0;
    ::waitpid(pid, &status, 0);
    r.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    std::ifstream in(out_file, std::ios::binary);
    r.output.assign(std::istreambuf_iterator<char>(in), {});
    fsys::remove(out_file);
    return r;
}

inline std::string read_file(const fsys::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void write_file(const fsys::path& p, const std::string& bytes) {
    fsys::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << bytes;
}

// A machine with a hard disk C:, a CD drive D: holding the sample installation CD and a
// diskette drive A:.
class Machine {
public:
    Machine() {
        char tmpl[] = "/tmp/qaro-scenario-XXXXXX";
        root_ = ::mkdtemp(tmpl);
        fsys::create_directories(root_ + "/c");
        fsys::create_directories(root_ + "/d");
        fsys::create_directories(root_ + "/a");
    }
    ~Machine() {
        std::error_code ec;
        for (auto& e : fsys::recursive_directory_iterator(root_, ec))
            fsys::permissions(e.path(), fsys::perms::owner_all, fsys::perm_options::add, ec);
        fsys::remove_all(root_, ec);
    }
    Machine(const Machine&) = delete;
    Machine& operator=(const Machine&) = delete;

    // Writes the sample CD into D:. Returns qarotool's result.
    Result make_cd() { return run({bin("qarotool"), "sample-medium", cd()}, root_); }

    std::string c(const std::string& rel = "") const { return root_ + "/c" + (rel.empty() ? "" : "/" + rel); }
    std::string cd(const std::string& rel = "") const { return root_ + "/d" + (rel.empty() ? "" : "/" + rel); }
    // The diskette drive A:.
    std::string a(const std::string& rel = "") const { return root_ + "/a" + (rel.empty() ? "" : "/" + rel); }
    const std::string& root() const { return root_; }

    // Runs qarovor from the CD with a key script (one item per line); screens go to screens().
    Result install(const std::vector<std::string>& args, const std::vector<std::string>& keys) {
        std::string script;
        for (auto& k : keys) script += k + "\n";
        write_file(root_ + "/keys.txt", script);
        std::vector<std::string> argv = {bin("qarovor")};
        argv.insert(argv.end(), args.begin(), args.end());
        return run(argv, cwd_.empty() ? cd() : cwd_,
                   {{"QARO_DRIVES", "C=" + c() + ";D=" + cd() + ";A=" + a()},
                    {"QARO_KEYS", root_ + "/keys.txt"},
                    {"QARO_SCREEN", root_ + "/screens.txt"},
                    {"QARO_TODAY", today_}});
    }
    std::string screens() const { return read_file(root_ + "/screens.txt"); }
    void clear_screens() { fsys::remove(root_ + "/screens.txt"); }
    void set_today(const std::string& d) { today_ = d; }
    void set_cwd(const std::string& host_dir) { cwd_ = host_dir; }

    // Variables of a current variable file as qarotool lists them.
    std::string xpf(const std::string& host_path) { return run({bin("qarotool"), "xpf", host_path}, root_).output; }

private:
    std::string root_;
    std::string cwd_;
    std::string today_ = "20261211";
};

}  // namespace qaro::scenario
