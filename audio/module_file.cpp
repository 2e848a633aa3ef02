#include "audio/module_file.h"

#include <elf.h>
#include <link.h>

#include <cstring>

namespace quillot::audio {
namespace {

// The machine this program was built for; where it is not named here, the
// loader's own refusal (through dlerror) says what is wrong.
#if defined(__x86_64__)
constexpr int kMachine = EM_X86_64;
#elif defined(__aarch64__)
constexpr int kMachine = EM_AARCH64;
#elif defined(__i386__)
constexpr int kMachine = EM_386;
#elif defined(__arm__)
constexpr int kMachine = EM_ARM;
#elif defined(__riscv)
constexpr int kMachine = EM_RISCV;
#elif defined(__powerpc64__)
constexpr int kMachine = EM_PPC64;
#elif defined(__s390x__)
constexpr int kMachine = EM_S390;
#elif defined(__loongarch__)
constexpr int kMachine = EM_LOONGARCH;
#else
constexpr int kMachine = -1;
#endif

constexpr unsigned char kClass = __ELF_NATIVE_CLASS == 64 ? ELFCLASS64 : ELFCLASS32;
#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
constexpr unsigned char kByteOrder = ELFDATA2LSB;
#else
constexpr unsigned char kByteOrder = ELFDATA2MSB;
#endif

std::string cut_short(uint64_t size, uint64_t needed, const char* what) {
  return "is cut short (" + std::to_string(size) + " bytes, where its " + what + " need " +
         std::to_string(needed) + ")";
}

}  // namespace

std::string module_fault(const RegularFile& file) {
  const uint64_t size = file.size();
  if (size == 0) return "is empty";
  ElfW(Ehdr) header{};
  const std::string head = file.read_at(0, sizeof header);
  if (head.size() < SELFMAG || std::memcmp(head.data(), ELFMAG, SELFMAG) != 0) return "is not a module (no ELF header)";
  if (head.size() < sizeof header) return cut_short(size, sizeof header, "headers");
  std::memcpy(&header, head.data(), sizeof header);
  if (header.e_ident[EI_CLASS] != kClass) {
    return header.e_ident[EI_CLASS] == ELFCLASS32 ? "is a 32-bit module; the game is 64-bit"
           : header.e_ident[EI_CLASS] == ELFCLASS64 ? "is a 64-bit module; the game is 32-bit"
                                                    : "is damaged (its ELF class is unknown)";
  }
  if (header.e_ident[EI_DATA] != kByteOrder) return "is built for the other byte order";
  if (kMachine >= 0 && header.e_machine != kMachine) {
    return "is built for another processor (ELF machine " + std::to_string(header.e_machine) + ", the game's is " +
           std::to_string(kMachine) + ")";
  }
  if (header.e_type != ET_DYN) return "is not a shared object";
  if (header.e_phentsize != sizeof(ElfW(Phdr)) || header.e_phnum == 0 || header.e_phnum == PN_XNUM) {
    return "is damaged (its program header table is malformed)";
  }
  // e_phnum is 16 bits wide: the table is at most 3.6 MB, and the sums below cannot wrap.
  const uint64_t table = uint64_t{header.e_phnum} * sizeof(ElfW(Phdr));
  if (header.e_phoff > size || table > size - header.e_phoff) {
    return cut_short(size, header.e_phoff + table, "headers");
  }
  const std::string bytes = file.read_at(header.e_phoff, table);
  if (bytes.size() != table) return "cannot be read";
  uint64_t end = 0;
  for (size_t i = 0; i < header.e_phnum; ++i) {
    ElfW(Phdr) segment{};
    std::memcpy(&segment, bytes.data() + i * sizeof segment, sizeof segment);
    if (segment.p_type != PT_LOAD) continue;
    const uint64_t offset = segment.p_offset;
    const uint64_t length = segment.p_filesz;
    if (offset > UINT64_MAX - length) return "is damaged (a loadable segment lies past any file's end)";
    if (offset + length > end) end = offset + length;
  }
  if (end == 0) return "is damaged (it has no loadable segment)";
  if (end > size) return cut_short(size, end, "loadable segments");
  return {};
}

}  // namespace quillot::audio
