#include "batch_input.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "csv_record.h"

namespace lorvaxen::tool {
namespace {

// What a spreadsheet may put before the first row: the UTF-8 byte order mark.
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string delimiterName(char delimiter)
{
    return delimiter == '\t' ? std::string("a tab") : "'" + std::string(1, delimiter) + "'";
}

std::string tooFewFields(std::size_t fields, const char* option, int column, char delimiter)
{
    return "the row has " + std::to_string(fields) + (fields == 1 ? " field" : " fields") +
           ", but " + option + " " + std::to_string(column) + " takes field " +
           std::to_string(column) + ": are its fields parted by " + delimiterName(delimiter) +
           "? (--delimiter says by what)";
}

} // namespace

std::unique_ptr<BatchInput> BatchInput::open(const std::string& path, const CsvSettings& csv,
                                             std::string* problem)
{
    const bool standardInput = path == "-";
    const int fd = standardInput ? STDIN_FILENO : ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat status
    {
    };
    if (fd < 0 || fstat(fd, &status) != 0 || S_ISDIR(status.st_mode)) {
        const int error = fd < 0 ? errno : S_ISDIR(status.st_mode) ? EISDIR : errno;
        *problem = "cannot read " + path + ": " + std::strerror(error);
        if (fd >= 0 && !standardInput) {
            close(fd);
        }
        return nullptr;
    }
    const long long size = S_ISREG(status.st_mode) ? static_cast<long long>(status.st_size) : -1;
    return std::unique_ptr<BatchInput>(
        new BatchInput(fd, !standardInput, standardInput ? "standard input" : path, csv, size));
}

BatchInput::BatchInput(int fd, bool owned, std::string name, const CsvSettings& csv, long long size)
    : fd_(fd), owned_(owned), name_(std::move(name)), csv_(csv), size_(size), reader_(fd)
{
}

BatchInput::~BatchInput()
{
    if (owned_) {
        close(fd_);
    }
}

std::optional<double> BatchInput::shareRead() const
{
    if (size_ <= 0) {
        return std::nullopt;
    }
    return static_cast<double>(reader_.bytesRead()) / static_cast<double>(size_);
}

std::optional<BatchItem> BatchInput::next()
{
    if (ended_) {
        return std::nullopt;
    }
    return csv_.column > 0 ? nextRow() : nextLine();
}

std::optional<LineReader::Line> BatchInput::readLine(BatchItem* refused)
{
    LineReader::Line line = reader_.next();
    if (line.status == LineReader::Status::Line) {
        return line;
    }
    ended_ = true;
    if (line.status == LineReader::Status::Failed) {
        readProblem_ = "cannot read " + name_ + ": " + std::strerror(reader_.error());
    } else if (line.status == LineReader::Status::TooLong) {
        // The batch stops: the rest of a line this long is no text either, and reading on to
        // its end would never end on endless input.
        refused->line = line.number;
        refused->stops = true;
        refused->problem = "longer than " + std::to_string(kMostLineBytes) +
                           " bytes, which no label's text comes near: " + name_ +
                           " is not a list of texts, one a line; the batch stops here";
    }
    return std::nullopt;
}

std::optional<BatchItem> BatchInput::nextLine()
{
    for (;;) {
        BatchItem item;
        const std::optional<LineReader::Line> line = readLine(&item);
        if (!line) {
            return item.problem.empty() ? std::nullopt : std::optional(std::move(item));
        }
        if (line->text.empty()) {
            ++blank_;
            continue;
        }
        item.line = line->number;
        item.text = line->text;
        item.nameText = line->text;
        return item;
    }
}

std::optional<BatchItem> BatchInput::nextRow()
{
    for (;;) {
        BatchItem item;
        std::optional<LineReader::Line> line = readLine(&item);
        if (!line) {
            return item.problem.empty() ? std::nullopt : std::optional(std::move(item));
        }
        if (line->number == 1 && line->text.starts_with(kByteOrderMark)) {
            line->text.erase(0, kByteOrderMark.size());
        }
        item.line = line->number;
        CsvRecord record(csv_.delimiter);
        bool complete = record.add(line->text, line->number);
        // A quoted field with newlines in it goes on over the lines after, within the limit
        // of one line: a quote left open would otherwise take in the rest of the input.
        while (!complete) {
            BatchItem tooLong;
            line = readLine(&tooLong);
            if (!line && !readProblem_.empty()) {
                return std::nullopt;
            }
            if (!line || record.bytes() + line->text.size() > kMostLineBytes) {
                item.stops = line.has_value() || tooLong.stops;
                ended_ = true;
                item.problem = record.unclosedProblem(item.stops);
                return item;
            }
            complete = record.add(line->text, line->number);
        }
        const bool header = csv_.header && !headerDone_;
        headerDone_ = true;
        if (!record.problem().empty()) {
            item.problem = record.problem();
            return item;
        }
        if (header) {
            continue;
        }
        if (record.blank()) {
            ++blank_;
            continue;
        }
        const std::vector<std::string>& fields = record.fields();
        if (fields.size() < static_cast<std::size_t>(csv_.column)) {
            item.problem = tooFewFields(fields.size(), "--column", csv_.column, csv_.delimiter);
        } else if (fields.size() < static_cast<std::size_t>(csv_.nameColumn)) {
            item.problem =
                tooFewFields(fields.size(), "--name-column", csv_.nameColumn, csv_.delimiter);
        } else {
            item.text = fields[csv_.column - 1];
            item.nameText = fields[(csv_.nameColumn > 0 ? csv_.nameColumn : csv_.column) - 1];
        }
        return item;
    }
}

} // namespace lorvaxen::tool
