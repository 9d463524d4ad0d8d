#include "file_output.h"

#include <stb_image_write.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>
#include <utility>

#include "errors.h"

namespace relievo::cli {

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kCopyChunk = 1 << 16;
constexpr mode_t kFileMode = 0666;

[[noreturn]] void failWith(std::string_view name, std::string_view what, int error) {
  throw RunError(std::string(name) + ": " + std::string(what) + ": " + std::strerror(error));
}

// The temporary file until it takes the output's name; removed when it never does.
struct Temporary {
  std::string path;
  int fd = -1;
  bool renamed = false;
  ~Temporary() {
    if (fd >= 0) ::close(fd);
    if (!renamed) ::unlink(path.c_str());
  }
};

// The permissions a new file gets from the process's umask (mkstemp makes it 0600).
mode_t newFileMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return kFileMode & ~mask;
}

// SIGPIPE ignored while it lives, so that a write to a closed pipe fails with EPIPE.
class PipeSignalIgnored {
 public:
  PipeSignalIgnored() {
    struct sigaction ignore = {};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGPIPE, &ignore, &before_);
  }
  ~PipeSignalIgnored() { ::sigaction(SIGPIPE, &before_, nullptr); }
  PipeSignalIgnored(const PipeSignalIgnored&) = delete;
  PipeSignalIgnored& operator=(const PipeSignalIgnored&) = delete;

 private:
  struct sigaction before_ = {};
};

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

void writeWholeFile(const std::string& path, std::string_view bytes) {
  const fs::path target(path);
  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
  // A hidden name beside the output's: ".NAME.XXXXXX".
  std::string hidden = target.filename().string();
  hidden.insert(0, 1, '.');
  hidden.append(".XXXXXX");
  Temporary temp{(folder / hidden).string()};
  temp.fd = ::mkstemp(temp.path.data());
  if (temp.fd < 0) {
    temp.renamed = true;  // nothing was made
    failWith(path, "cannot be written", errno);
  }
  ::fchmod(temp.fd, newFileMode());
  while (!bytes.empty()) {
    const ssize_t n = ::write(temp.fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) failWith(path, "cannot be written", errno);
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  if (::fsync(temp.fd) != 0) failWith(path, "cannot be written", errno);
  if (::close(std::exchange(temp.fd, -1)) != 0) failWith(path, "cannot be written", errno);
  if (::rename(temp.path.c_str(), path.c_str()) != 0) failWith(path, "cannot be written", errno);
  temp.renamed = true;
}

void writePngFile(const std::string& path, const sxhost::Rgb& picture) {
  const std::size_t rowBytes = static_cast<std::size_t>(picture.width) * 3;
  const bool whole = !picture.empty() && picture.pixels.size() == rowBytes * picture.height;
  std::string png;
  const auto append = [](void* context, void* data, int size) {
    static_cast<std::string*>(context)->append(static_cast<const char*>(data),
                                               static_cast<std::size_t>(size));
  };
  // PNG rows run top to bottom, the picture's bottom to top: a negative stride from its last
  // row writes them upright.
  if (!whole || stbi_write_png_to_func(append, &png, picture.width, picture.height, 3,
                                       picture.pixels.data() + rowBytes * (picture.height - 1),
                                       -static_cast<int>(rowBytes)) == 0) {
    throw RunError(path + ": the picture cannot be encoded as PNG");
  }
  writeWholeFile(path, png);
}

void copyFileTo(const std::string& path, std::FILE* out, std::string_view outName) {
  const std::unique_ptr<std::FILE, FileCloser> in(std::fopen(path.c_str(), "rb"));
  if (!in) failWith(path, "cannot be read", errno);
  const PipeSignalIgnored pipeSignal;
  const auto buffer = std::make_unique<char[]>(kCopyChunk);
  std::size_t n = 0;
  while ((n = std::fread(buffer.get(), 1, kCopyChunk, in.get())) > 0) {
    if (std::fwrite(buffer.get(), 1, n, out) != n) failWith(outName, "cannot be written", errno);
  }
  if (std::ferror(in.get()) != 0) failWith(path, "cannot be read", errno);
  if (std::fflush(out) != 0) failWith(outName, "cannot be written", errno);
}

TemporaryFolder::TemporaryFolder() {
  const char* base = std::getenv("TMPDIR");
  folder_ = std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/relievo.XXXXXX";
  if (::mkdtemp(folder_.data()) == nullptr) {
    failWith(folder_.substr(0, folder_.rfind('/')), "no temporary folder can be made in it", errno);
  }
}

TemporaryFolder::~TemporaryFolder() {
  std::error_code ec;
  fs::remove_all(folder_, ec);
}

std::string TemporaryFolder::path(std::string_view name) const {
  return folder_ + "/" + std::string(name);
}

}  // namespace relievo::cli
