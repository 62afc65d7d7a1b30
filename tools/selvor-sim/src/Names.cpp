#include "Names.hpp"

#include <array>
#include <cstdio>

namespace SelvorSim {
namespace {

constexpr std::array fatherNames{
    "Батболд", "Ганбаатар", "Энхтөр",     "Мөнхбат", "Цэрэндорж",   "Сүхбаатар",  "Баярсайхан",
    "Дорж",    "Эрдэнэбат", "Пүрэвсүрэн", "Лхагва",  "Төмөрбаатар", "Алтангэрэл", "Очир",
};
constexpr std::array maleNames{
    "Тэмүүжин", "Билгүүн",  "Анхбаяр", "Батжаргал", "Мөнх-Эрдэнэ", "Ганзориг",
    "Сэргэлэн", "Төгөлдөр", "Энхжин",  "Хүслэн",    "Өлзийбаяр",   "Бат-Очир",
};
constexpr std::array femaleNames{
    "Сарангэрэл", "Номин",   "Оюунчимэг",  "Цэцэгмаа",  "Анужин", "Мишээл",
    "Гэрэлмаа",   "Солонго", "Наранцэцэг", "Ариунзаяа", "Уянга",  "Энхтуяа",
};
constexpr std::array latinFatherNames{
    "b", "g", "e", "m", "ts", "s", "b", "d", "e", "p", "l", "t", "a", "o",
};
constexpr std::array companyStems{
    "Хангай",  "Алтан говь", "Эрдэнэс", "Номин",  "Тэнгэр", "Говийн",
    "Сэлэнгэ", "Орхон",      "Хөвсгөл", "Мөнгөн", "Цагаан", "Хэрлэн",
};
constexpr std::array companyKinds{
    "Трейд ХХК", "Групп ХХК", "Инженеринг ХХК", "Логистик ХХК", "Констракшн ХХК", "Финанс ХХК",
};

bool isCyrillicCapital(unsigned char lead, unsigned char next) {
    if (lead == 0xD0)
        return next == 0x81 || (next >= 0x90 && next <= 0xAF);
    return (lead == 0xD3 && next == 0xA8) || (lead == 0xD2 && next == 0xAE);
}

bool allDigits(std::string_view text) {
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

template <std::size_t N>
const char* pick(const std::array<const char*, N>& names, std::uint64_t v) {
    return names[v % N];
}

} // namespace

bool isRegisterNumber(std::string_view text) {
    if (text.size() != 12)
        return false;
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    return isCyrillicCapital(byte(0), byte(1)) && isCyrillicCapital(byte(2), byte(3)) &&
           allDigits(text.substr(4));
}

bool isCompanyNumber(std::string_view text) {
    return text.size() == 7 && allDigits(text);
}

std::uint64_t stableHash(std::string_view text) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    return hash;
}

std::vector<Person> seededPeople() {
    return {
        {"УП91042312", "usr_1a7f30c2", "Батболд Тэмүүжин", "temuujin.b@gmail.com", "3", "ACTIVE",
         "2021-03-14T08:22:10Z"},
        {"ЧЕ88111524", "usr_52be9d04", "Ганбаатар Сарангэрэл", "sarangerel.g@gmail.com", "2",
         "ACTIVE", "2022-07-01T11:05:43Z"},
        {"ИЙ02250837", "usr_8c41e6a9", "Энхтөр Билгүүн", "bilguun.e@gmail.com", "2", "ACTIVE",
         "2023-01-19T15:40:00Z"},
        {"ДА75062046", "usr_e03d7b15", "Цэрэндорж Оюунчимэг", "oyunchimeg.ts@gmail.com", "1",
         "ACTIVE", "2024-05-30T06:12:55Z"},
    };
}

Person generatedPerson(std::string_view nationalId) {
    const std::uint64_t hash = stableHash(nationalId);
    const bool male = (nationalId[nationalId.size() - 2] - '0') % 2 == 1;
    const std::uint64_t father = hash % fatherNames.size();
    const std::string given = male ? pick(maleNames, hash >> 8) : pick(femaleNames, hash >> 8);
    char userId[16];
    std::snprintf(userId, sizeof userId, "usr_%08x", static_cast<unsigned>(hash >> 32));
    char createdAt[32];
    std::snprintf(
        createdAt, sizeof createdAt, "20%02u-%02u-%02uT%02u:%02u:00Z",
        static_cast<unsigned>(19 + (hash >> 12) % 7), static_cast<unsigned>(1 + (hash >> 16) % 12),
        static_cast<unsigned>(1 + (hash >> 20) % 28), static_cast<unsigned>((hash >> 24) % 24),
        static_cast<unsigned>((hash >> 28) % 60));
    return {std::string(nationalId),
            userId,
            std::string(fatherNames[father]) + " " + given,
            "user" + std::to_string(hash % 100000) + "." + latinFatherNames[father] + "@gmail.com",
            std::to_string(1 + (hash >> 40) % 3),
            "ACTIVE",
            createdAt};
}

std::string generatedCompanyName(std::string_view regNumber) {
    const std::uint64_t hash = stableHash(regNumber);
    return std::string(pick(companyStems, hash)) + " " + pick(companyKinds, hash >> 16);
}

} // namespace SelvorSim
