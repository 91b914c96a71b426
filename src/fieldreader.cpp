#include "fieldreader.h"

#include <fstream>
#include <sys/stat.h>

FieldReader::FieldReader() {
  Clear();
}

void FieldReader::Clear() {
  strCount = 0;
  tabCount = 0;
  crFlag = false;
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
  crFlag = false;
  EndField();
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

int ToInt(const char* text, int length) {
  int i = 0;
  while (i < length && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
    i++;
  bool negative = false;
  if (i < length && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    i++;
  }
  const long long limit = negative ? 2147483648LL : 2147483647LL;
  long long value = 0;
  for (; i < length && text[i] >= '0' && text[i] <= '9'; i++) {
    value = value * 10 + (text[i] - '0');
    if (value > limit)
      value = limit;
  }
  return static_cast<int>(negative ? -value : value);
}

bool OpenRegular(std::ifstream& in, const char* path) {
  struct stat st;
  if (stat(path, &st) != 0 || !S_ISREG(st.st_mode))
    return false;
  in.open(path);
  return in.is_open();
}
