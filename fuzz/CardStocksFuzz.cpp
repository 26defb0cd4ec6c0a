// Feeds arbitrary bytes to the card stock reader as a user's catalogue. A
// catalogue it takes must hold only layouts the layout dialog accepts, and
// must read back the same after it is written again.
#include "document/CardStocks.h"

#include <cstdio>
#include <cstdlib>

namespace {

void Fail(const char *why)
{
    std::fprintf(stderr, "%s\n", why);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const TStockReadResult read = ReadCardStocks(bytes);
    if (!read.Problem.isEmpty()) {
        if (!read.Stocks.isEmpty())
            Fail("a refused catalogue kept stocks");
        return 0;
    }
    for (const TCardStock &s : read.Stocks)
        if (!s.Layout().Check().IsNone())
            Fail("a stock the layout dialog would refuse was taken");
    const TStockReadResult again = ReadCardStocks(WriteCardStocks(read.Stocks));
    if (!again.Problem.isEmpty() || again.Stocks.size() != read.Stocks.size())
        Fail("a written catalogue does not read back");
    for (qsizetype i = 0; i < read.Stocks.size(); ++i)
        if (!again.Stocks.at(i).Layout().SameSheet(read.Stocks.at(i).Layout()) ||
            again.Stocks.at(i).Name() != read.Stocks.at(i).Name())
            Fail("a written stock reads back changed");
    return 0;
}
