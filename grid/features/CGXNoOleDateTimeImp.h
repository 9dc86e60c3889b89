// Dates and times parsed and shown by the grid itself in the order and with the separators of the
// user's short date format and time format.
#pragma once

#include "grid/core/CGXAbstractComponents.h"

#include <functional>
#include <string>

// The locale's short date format (such as "dd.MM.yyyy") and time separator.
struct GXDateLocaleTexts {
    std::string shortDate;
    std::string timeSeparator;
};

class CGXNoOleDateTimeImp : public CGXAbstractDateTimeImp {
public:
    // Where the locale texts come from; the default is the month-first "M/d/yyyy" and ":".
    static void SetLocaleSource(std::function<GXDateLocaleTexts()> source);

    void RefreshSettings() override;
    int GetDateFormatInfo(bool& fourDigitYear, std::string& separator) override;
    std::string GetTimeSeparator(bool refresh) override;
    bool ParseDateTime(GXDateTimeRecord& record, std::string_view text) override;
    bool ParseDateTime(std::tm& time, std::string_view text) override;
    std::string FormatDateTime(const GXDateTimeRecord& record) override;
    std::string FormatTime(std::time_t time) override;

private:
    int DateOrder(bool reload);
    bool ParseDate(GXDateTimeRecord& record, std::string_view text);
    bool ParseTime(GXDateTimeRecord& record, std::string_view text);

    int order_ = 3;  // 0 day first, 1 month first, 2 year first, 3 not read yet
    bool fourDigitYear_ = false;
    char dateSeparator_ = '/';
    char timeSeparator_ = ':';
    bool timeRead_ = false;
};

// Installs the date-time component unless one is installed already.
void InstallNoOleDateTimeImp();
