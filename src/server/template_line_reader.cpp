#include "server/template_line_reader.h"

#include <algorithm>
#include <cassert>
#include <cstdint>
#include <cstring>

#include "host/bstr.h"

namespace zarn {
namespace {

constexpr char kLf = '\n';
constexpr char kCr = '\r';

}  // namespace

// make_unique<char[]> value-initialises: the buffer starts as zero bytes.
TemplateLineReader::TemplateLineReader() : buffer_(std::make_unique<char[]>(kBufferSize)) {}

TemplateLineReader::~TemplateLineReader() { Close(); }

bool TemplateLineReader::OpenFile(const std::string& path) {
  stream_.SetBinary(true);
  {
    const CfxBSTR widePath(path);
    stream_.Open(CfxFileStreamModeRead, widePath.in());
  }
  // At end of file at once, the first ReadLine makes the first read.
  if (stream_.IsEOF()) return false;
  Refill(0);
  return true;
}

void TemplateLineReader::Refill(std::size_t offset) {
  // A request for no bytes would come back empty and look like end of file.
  assert(offset < kBufferSize);
  const std::size_t wanted = kBufferSize - offset;
  std::memset(buffer_.get() + offset, 0, wanted);
  const std::uint32_t got = stream_.Read(buffer_.get() + offset, static_cast<std::uint32_t>(wanted));
  atEnd_ = got == 0;
  dataEnd_ = offset + std::min<std::size_t>(got, wanted);
  cursor_ = offset;
  nextCr_ = {};
  nextZero_ = {};
}

std::size_t TemplateLineReader::NextOf(char byte, Search& search, std::size_t from) {
  // No such byte lies between the last search's start and what it found.
  if (search.known && search.from <= from && from <= search.at) return search.at;
  const void* found = std::memchr(buffer_.get() + from, byte, dataEnd_ - from);
  search = {from, found ? static_cast<std::size_t>(static_cast<const char*>(found) - buffer_.get()) : dataEnd_, true};
  return search.at;
}

std::size_t TemplateLineReader::FindTerminator(std::size_t from) {
  const std::size_t bound = std::min(NextOf(kCr, nextCr_, from), NextOf('\0', nextZero_, from));
  const void* lf = std::memchr(buffer_.get() + from, kLf, bound - from);
  return lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - buffer_.get()) : bound;
}

void TemplateLineReader::ShiftAndRefill(std::size_t start) {
  const std::size_t length = cursor_ - start;
  std::memmove(buffer_.get(), buffer_.get() + start, length);
  Refill(length);
}

void TemplateLineReader::RefillIfDrained() {
  if (cursor_ == dataEnd_) Refill(0);
}

const char* TemplateLineReader::ReadLine() {
  unfinished_ = {};
  lineLength_ = 0;
  if (atEnd_) return nullptr;
  RefillIfDrained();
  char* const buffer = buffer_.get();

  if (swallowLf_) {
    swallowLf_ = false;
    // The file ended with the CR: that line was the last one.
    if (atEnd_) return nullptr;
    if (buffer[cursor_] == kLf) {
      ++cursor_;
      RefillIfDrained();
    }
  }

  std::size_t start = cursor_;
  bool atStart = start == 0;
  for (;;) {
    // The cursor stands at the data end only after a read that delivered
    // nothing; the zero byte that the refill left there ends the line.
    assert(cursor_ < dataEnd_ || buffer[cursor_] == '\0');
    const std::size_t stop = cursor_ < dataEnd_ ? FindTerminator(cursor_) : cursor_;
    if (stop != dataEnd_ || cursor_ == dataEnd_) {
      cursor_ = stop;
      break;
    }
    cursor_ = dataEnd_;
    if (atStart) {
      // No room to read the rest behind it: give out this piece.
      unfinished_ = std::string_view(buffer + start, cursor_ - start);
      return nullptr;
    }
    ShiftAndRefill(start);
    start = 0;
    atStart = true;
  }

  const bool endedByCr = buffer[cursor_] == kCr;
  lineLength_ = cursor_ - start;
  buffer[cursor_] = '\0';
  ++cursor_;
  if (endedByCr) start = SwallowLfAfterCr(start);
  return buffer_.get() + start;
}

std::size_t TemplateLineReader::SwallowLfAfterCr(std::size_t start) {
  // A CR at the data end may be the first half of CR LF: read on to see.
  if (cursor_ == dataEnd_) {
    if (cursor_ - start == kBufferSize) {
      swallowLf_ = true;  // the line fills the buffer; look at the next byte next time
      return start;
    }
    ShiftAndRefill(start);
    start = 0;
  }
  if (cursor_ != dataEnd_ && buffer_[cursor_] == kLf) {
    buffer_[cursor_] = '\0';
    ++cursor_;
  }
  return start;
}

void TemplateLineReader::Close() noexcept {
  if (closed_) return;
  closed_ = true;
  atEnd_ = true;
  unfinished_ = {};
  try {
    stream_.Close();
  } catch (...) {
    return;  // a failing close changes nothing for a reader that is done
  }
  cursor_ = 0;
  dataEnd_ = 0;
  std::memset(buffer_.get(), 0, kBufferSize);
}

}  // namespace zarn
