// The data of a Qt test that varies one value: one column, a row per value.
#pragma once

#include <QtTest>

#include <initializer_list>
#include <utility>

namespace tolvo::test {

// Adds the column `column` of type T and a row for each (name, value).
template <class T>
void AddRows(const char* column, std::initializer_list<std::pair<const char*, T>> rows) {
  QTest::addColumn<T>(column);
  for (const auto& [name, value] : rows) QTest::newRow(name) << value;
}

}  // namespace tolvo::test
