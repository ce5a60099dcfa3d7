#pragma once

#include <QTest>

#include <cstddef>

// A test table kept as an array of cases, each with a `name`: one data row per case, named by it
// and holding its index, which rowOf() gives back as the case.
template <typename Case, std::size_t size> void addRows(const Case (&cases)[size])
{
    QTest::addColumn<int>("row");
    for (std::size_t i = 0; i < size; ++i)
        QTest::newRow(cases[i].name) << int(i);
}

template <typename Case, std::size_t size> const Case& rowOf(const Case (&cases)[size])
{
    QFETCH(int, row);
    return cases[row];
}
