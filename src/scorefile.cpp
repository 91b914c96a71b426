// SPDX-License-Identifier: GPL-3.0-or-later
#include "scorefile.h"

#include "fieldreader.h"
#include "filesync.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <ctime>
#include <fcntl.h>
#include <fstream>
#include <iostream>
#include <locale>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char fileName[] = "MINE_SCORE.data";

// A name's length in characters, never more than its bytes, whatever they hold.
int NameLength(const Glib::ustring& name) {
  Glib::ustring::size_type length = name.length();
  if (length > name.bytes())
    length = name.bytes();
  return static_cast<int>(std::min<Glib::ustring::size_type>(length, INT_MAX));
}

int FieldSize(const Glib::ustring& field) {
  return static_cast<int>(std::min<Glib::ustring::size_type>(field.bytes(), INT_MAX));
}

int FieldValue(const Glib::ustring& field) {
  return ToInt(field.data(), FieldSize(field));
}

// rows x columns + bombs + tenths + name value in 32-bit wrap-around, which is the plain int
// sum wherever that is defined, so every record written reads back with its own value.
int CheckValue(int row, int col, int bomb, int sec, int nameValue) {
  unsigned int sum = static_cast<unsigned int>(row) * static_cast<unsigned int>(col) +
                     static_cast<unsigned int>(bomb) + static_cast<unsigned int>(sec) +
                     static_cast<unsigned int>(nameValue);
  return static_cast<int>(sum);
}

// Whether the check value of a line of nine fields matches its rows, columns, bombs, tenths and
// name.
bool Matches(ScoreFile* list, const Glib::ustring* READ) {
  int nameValue = list->CalcName(READ[8].data(), NameLength(READ[8]));
  return FieldValue(READ[7]) == CheckValue(FieldValue(READ[1]), FieldValue(READ[2]),
                                           FieldValue(READ[3]), FieldValue(READ[4]), nameValue);
}

// The name as it may go into the file: its UTF-8 bytes as they are, less the control
// characters (a TAB or a newline would split the record, and none belongs in a name), cut at a
// character boundary to what one field of the reader holds.
std::string CleanName(const std::string& name) {
  std::string clean;
  for (std::string::size_type i = 0; i < name.size(); i++) {
    unsigned char c = name[i];
    if (c < 0x20 || c == 0x7f)
      continue;
    if (c == 0xc2 && i + 1 < name.size() && static_cast<unsigned char>(name[i + 1]) >= 0x80 &&
        static_cast<unsigned char>(name[i + 1]) <= 0x9f) {
      i++;
      continue;
    }
    clean += static_cast<char>(c);
  }
  if (clean.size() > FieldReader::FIELD_SIZE) {
    std::string::size_type end = FieldReader::FIELD_SIZE;
    while (end > FieldReader::FIELD_SIZE - 3 &&
           (static_cast<unsigned char>(clean[end]) & 0xc0) == 0x80)
      end--;
    clean.resize(end);
  }
  return clean;
}

bool EndsWithNewline() {
  std::ifstream in(fileName, std::ios::binary);
  char last = '\n';
  if (in.seekg(-1, std::ios::end))
    in.get(last);
  return last == '\n';
}

// Appends one line in a single write, and forces it to the disk, with the file's directory
// entry when the file is new: a record a power cut can take back is not recorded. A file whose
// last line lacks its newline (a hand edit, or a write cut short) gets one first, so the new
// record never fuses with it. 0, or the error number.
int AppendLine(const std::string& line) {
  struct stat st;
  bool exists = stat(fileName, &st) == 0;
  if (exists && !S_ISREG(st.st_mode))
    return S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
  std::string text = line;
  if (exists && st.st_size > 0 && !EndsWithNewline())
    text.insert(text.begin(), '\n');
  int fd = open(fileName, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0)
    return errno;
  int error = WriteAll(fd, text);
  if (close(fd) != 0 && error == 0)
    error = errno;
  if (error == 0)
    error = SyncFile(fileName);
  if (error == 0 && !exists)
    error = SyncDirectory(fileName);
  return error;
}

// The sort keys of one record, gathered in one array so that sorting does not chase the
// records through memory.
struct SortKey {
  int score;
  int sec;
  ScoreItem* node;
};

bool Before(const SortKey& a, const SortKey& b) {
  return a.score > b.score || (a.score == b.score && a.sec < b.sec);
}

} // namespace

ScoreFile::ScoreFile() : firstList(0), endList(0), listCount(0), writeError(0) {}

ScoreFile::~ScoreFile() {
  // Whatever the list still holds goes without a trace line: the layout empties it first, and
  // says so, in the running game.
  FreeList();
}

int ScoreFile::CalcScore(int nRow0, int nCol0, int nBomb0, int nSec0) {
  // Wide and guarded, so that no board or clock value can overflow or divide by zero; on real
  // boards every step is the plain int arithmetic.
  long long board0 = static_cast<long long>(nRow0) * nCol0;
  long long tmp1 = nSec0 / 30 + 10;
  long long tmp2 = 0;
  if (board0 != 0)
    tmp2 = std::clamp<long long>(nBomb0 * 10000LL / board0, INT_MIN, INT_MAX);
  double tmp3 = nBomb0;
  int score0 = 0;
  if (tmp1 != 0)
    score0 = static_cast<int>(
        std::clamp<long long>(static_cast<int>(tmp3) * tmp2 / tmp1, INT_MIN, INT_MAX));
  std::cout << "SCORE:" << score0 << " SEC/30:" << tmp1 << " RATE:" << tmp2 << " BOMB^3/2:" << tmp3
            << std::endl;
  return score0;
}

int ScoreFile::CalcName(const char* NAME, int length) {
  unsigned int sum = 0;
  for (int i = 0; i < length; i++)
    sum += static_cast<unsigned int>(static_cast<signed char>(NAME[i]));
  return static_cast<int>(sum);
}

long long ScoreFile::WriteFile(int nRow0, int nCol0, int nBomb0, int nSec0, int mode0,
                               Glib::ustring& name) {
  const Glib::ustring clean(CleanName(name.raw()));
  int nameValue = CalcName(clean.data(), NameLength(clean));
  int score0 = CalcScore(nRow0, nCol0, nBomb0, nSec0);
  // 64 bits, so that the stamp neither stops nor wraps in 2038.
  long long times = std::time(0);

  std::ostringstream line;
  line.imbue(std::locale::classic());
  line << score0 << '\t' << nRow0 << '\t' << nCol0 << '\t' << nBomb0 << '\t' << nSec0 << '\t'
       << mode0 << '\t' << times << '\t' << CheckValue(nRow0, nCol0, nBomb0, nSec0, nameValue)
       << '\t' << clean.raw() << '\n';
  writeError = AppendLine(line.str());
  if (writeError != 0)
    std::cout << "CAN'T WRITE MINE_SCORE.data" << std::endl;
  return times;
}

void ScoreFile::ReadFile() {
  std::ifstream in;
  if (!OpenRegular(in, fileName)) {
    std::cout << "CAN'T OPEN MINE_SCORE.data" << std::endl;
    return;
  }
  std::cout << "OPEN MINE_SCORE.data" << std::endl;

  FieldReader reader;
  Glib::ustring READ[FieldReader::FIELD_COUNT];
  long long enterCount = 0;
  std::streambuf* buffer = in.rdbuf();
  for (int c = buffer->sbumpc(); c != std::char_traits<char>::eof(); c = buffer->sbumpc()) {
    if (c == '\t') {
      reader.EndField();
    } else if (c == '\n') {
      reader.EndLine();
      int length = reader.Length();
      for (int i = 0; i < length && i < FieldReader::FIELD_COUNT; i++)
        READ[i].assign(reader.Text(i), reader.Text(i) + reader.Size(i));
      // A name may end in a carriage return of its own (a pasted one is kept, and counted in
      // the check value), which the reader took for half of a CRLF line end.
      if (length == 9 && reader.DroppedCr() && !Matches(this, READ)) {
        const Glib::ustring name = READ[8];
        READ[8] += '\r';
        if (!Matches(this, READ))
          READ[8] = name;
      }
      EnterScore(READ, length);
      enterCount++;
      reader.Clear();
    } else {
      reader.Append(static_cast<char>(c));
    }
  }
  std::cout << "NUM :" << enterCount << std::endl;
}

void ScoreFile::EnterScore(Glib::ustring* READ, int length) {
  if (length != 9) {
    std::cout << "WRONG SCORE ELEMENT" << std::endl;
    return;
  }
  if (!Matches(this, READ)) {
    std::cout << "WRONG SCORE VALUE_8" << std::endl;
    return;
  }
  ScoreItem* node = new ScoreItem;
  node->score = FieldValue(READ[0]);
  node->row = FieldValue(READ[1]);
  node->col = FieldValue(READ[2]);
  node->bomb = FieldValue(READ[3]);
  node->sec = FieldValue(READ[4]);
  node->mode = FieldValue(READ[5]);
  node->select = 0;
  node->TIME = ToLong(READ[6].data(), FieldSize(READ[6]));
  node->name = READ[8];
  node->next = 0;
  node->prev = 0;
  AppendList(node);
}

void ScoreFile::SortList() {
  // The file only grows, so the order must not cost quadratic time: a stable sort of the keys
  // (equal records keep file order), then the list is relinked in that order.
  int count = 0;
  for (ScoreItem* node = firstList; node != 0; node = node->next)
    count++;
  if (count < 2)
    return;
  SortKey* keys = new SortKey[count];
  int i = 0;
  for (ScoreItem* node = firstList; node != 0; node = node->next, i++) {
    keys[i].score = node->score;
    keys[i].sec = node->sec;
    keys[i].node = node;
  }
  std::stable_sort(keys, keys + count, Before);

  ScoreItem* prev = 0;
  for (i = 0; i < count; i++) {
    keys[i].node->prev = prev;
    keys[i].node->next = i + 1 < count ? keys[i + 1].node : 0;
    prev = keys[i].node;
  }
  firstList = keys[0].node;
  endList = prev;
  delete[] keys;
}

void ScoreFile::AppendList(ScoreItem* node) {
  node->next = 0;
  node->prev = endList;
  if (endList != 0)
    endList->next = node;
  else
    firstList = node;
  endList = node;
  listCount++;
}

void ScoreFile::RejectList(ScoreItem* node) {
  if (node->prev != 0)
    node->prev->next = node->next;
  else
    firstList = node->next;
  if (node->next != 0)
    node->next->prev = node->prev;
  else
    endList = node->prev;
  listCount--;
}

void ScoreFile::FreeList() {
  while (firstList != 0) {
    ScoreItem* node = firstList;
    RejectList(node);
    delete node;
  }
}

void ScoreFile::ALLDeleteList() {
  FreeList();
  if (listCount == 0)
    std::cout << "SCORE ALL DELETE!" << std::endl;
  else
    std::cout << "SCORE ERROR NO ALL DELETE" << std::endl;
}

void ScoreFile::ViewList() {
  // Names go out as their bytes: converting them to the locale would throw on some.
  int count = 0;
  for (ScoreItem* node = firstList; node != 0; node = node->next, count++)
    std::cout << "[" << count << "] : " << node->score << '\t' << node->row << '\t' << node->col
              << '\t' << node->bomb << '\t' << node->sec << '\t' << node->mode << '\t' << node->TIME
              << '\t' << node->name.raw() << std::endl;
  if (count == listCount)
    std::cout << "OK! MATCH LIST" << std::endl;
  else
    std::cout << "NO MATCH LIST" << std::endl;
}
