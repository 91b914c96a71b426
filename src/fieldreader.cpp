// SPDX-License-Identifier: GPL-3.0-or-later
#include "fieldreader.h"

#include <climits>
#include <fstream>
#include <sys/stat.h>

FieldReader::FieldReader() {
  Clear();
}

void FieldReader::Clear() {
  strCount = 0;
  tabCount = 0;
  crFlag = false;
  droppedCrFlag = false;
  fullFlag = false;
}

void FieldReader::EndField() {
  if (crFlag) {
    crFlag = false;
    Store('\r');
  }
  if (tabCount < FIELD_COUNT)
    size[tabCount] = strCount;
  else
    fullFlag = true;
  // Kept from growing on a line of endless TABs.
  if (tabCount <= FIELD_COUNT)
    tabCount++;
  strCount = 0;
}

void FieldReader::EndLine() {
  droppedCrFlag = crFlag;
  crFlag = false;
  EndField();
}

bool FieldReader::DroppedCr() const {
  return droppedCrFlag;
}

int FieldReader::Length() const {
  return fullFlag ? FIELD_COUNT + 1 : tabCount;
}

const char* FieldReader::Text(int i) const {
  return text[i];
}

int FieldReader::Size(int i) const {
  return i >= 0 && i < tabCount && i < FIELD_COUNT ? size[i] : 0;
}

int FieldReader::Value(int i) const {
  int length = Size(i);
  return length > 0 ? ToInt(text[i], length) : 0;
}

namespace {

// atoi's rules over length bytes, the result held between -max - 1 and max.
long long ToBounded(const char* text, int length, unsigned long long max) {
  int i = 0;
  while (i < length && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
    i++;
  bool negative = false;
  if (i < length && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    i++;
  }
  const unsigned long long limit = negative ? max + 1 : max;
  unsigned long long value = 0;
  for (; i < length && text[i] >= '0' && text[i] <= '9'; i++) {
    unsigned int digit = text[i] - '0';
    value = value > (limit - digit) / 10 ? limit : value * 10 + digit;
  }
  if (!negative || value == 0)
    return static_cast<long long>(value);
  return -static_cast<long long>(value - 1) - 1;
}

} // namespace

int ToInt(const char* text, int length) {
  return static_cast<int>(ToBounded(text, length, INT_MAX));
}

long long ToLong(const char* text, int length) {
  return ToBounded(text, length, LLONG_MAX);
}

bool OpenRegular(std::ifstream& in, const char* path) {
  struct stat st;
  if (stat(path, &st) != 0 || !S_ISREG(st.st_mode))
    return false;
  in.open(path);
  return in.is_open();
}
