#include "courses.h"

#include <algorithm>
#include <charconv>

namespace merravine::sample {
namespace {

constexpr int kMaxGenerated = 100000;
constexpr int kMaxDelayMs = 10000;

const std::vector<Course>& FixedCourses() {
  using K = LessonKind;
  static const std::vector<Course> courses = {
      {"400004169_19743",
       "Python 编程入门",
       {{"课程介绍与学习方法"},
        {"开发环境的安装与配置"},
        {"变量、数据类型与运算符"},
        {"条件语句和循环语句"},
        {"函数的定义与调用"},
        {"列表、字典与集合"},
        {"文件读写与异常处理"},
        {"综合练习：通讯录程序"}}},
      {"three",
       "三课时示例课程",
       {{"第一课 认识汉字"}, {"第二课 拼音基础"}, {"第三课 笔画与笔顺"}}},
      {"empty", "没有课时的课程", {}},
      {"escaped-quote", "引号测试", {{R"(他说\"你好\"：引号测试)"}}},
      {"no-video",
       "缺少视频地址",
       {{"正常的课时"},
        {"空白应答", K::kEmptyLessonAnswer},
        {"应答缺少标记", K::kLessonAnswerNoMarkers}}},
      {"missing-delimiters",
       "缺少字段",
       {{"正常的课时"}, {"缺少标题字段", K::kRecordWithoutFields}}},
      {"unclosed-last", "最后一条不完整", {{"正常的课时"}, {"没有结尾的记录", K::kUnclosedRecord}}},
      {"quirks",
       "各种异常记录",
       {{"第一课 正常"},
        {R"(第二课 他说\"你好\")"},
        {"第三课 空白应答", K::kEmptyLessonAnswer},
        {"第四课 应答缺少标记", K::kLessonAnswerNoMarkers},
        {"第五课 缺少字段", K::kRecordWithoutFields},
        {"第六课 正常"},
        {"第七课 没有结尾", K::kUnclosedRecord}}},
  };
  return courses;
}

// Parses a whole decimal number in [0, limit]; nothing else is accepted.
std::optional<int> ParseBounded(std::string_view digits, int limit) {
  int value = 0;
  auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() || value < 0 ||
      value > limit) {
    return std::nullopt;
  }
  return value;
}

Course Generated(std::string id, int count, int delayMs) {
  Course course;
  course.name = delayMs > 0 ? "慢速课程" : "自动生成的课程";
  course.id = std::move(id);
  course.generatedCount = count;
  course.lessonDelayMs = delayMs;
  return course;
}

std::string Duration(int n) {
  int seconds = 300 + (n * 37) % 1500;
  std::string mm = std::to_string(seconds / 60);
  std::string ss = std::to_string(seconds % 60);
  return mm + ":" + (ss.size() < 2 ? "0" + ss : ss);
}

}  // namespace

int Course::Count() const {
  return generatedCount > 0 ? generatedCount : static_cast<int>(lessons.size());
}

Lesson Course::At(int n) const {
  if (generatedCount > 0) return {"第" + std::to_string(n) + "课 自动生成的课时"};
  return lessons.at(static_cast<std::size_t>(n - 1));
}

std::optional<Course> FindCourse(std::string_view id) {
  for (const Course& course : FixedCourses()) {
    if (course.id == id) return course;
  }
  if (id == "bench1000") return Generated(std::string(id), 1000, 0);
  if (id == "slow") return Generated(std::string(id), 10, 500);
  if (id.starts_with("gen_")) {
    if (auto count = ParseBounded(id.substr(4), kMaxGenerated); count && *count > 0) {
      return Generated(std::string(id), *count, 0);
    }
  }
  if (id.starts_with("slow_")) {
    std::string_view rest = id.substr(5);
    std::size_t sep = rest.find('_');
    if (sep != std::string_view::npos) {
      auto count = ParseBounded(rest.substr(0, sep), kMaxGenerated);
      auto delay = ParseBounded(rest.substr(sep + 1), kMaxDelayMs);
      if (count && delay && *count > 0) return Generated(std::string(id), *count, *delay);
    }
  }
  return std::nullopt;
}

std::vector<std::string> FixedCourseIds() {
  std::vector<std::string> ids;
  for (const Course& course : FixedCourses()) ids.push_back(course.id);
  return ids;
}

std::string LessonAddress(std::string_view host, std::string_view courseId, int n) {
  return "http://" + std::string(host) + "/lesson/" + std::string(courseId) + "/" +
         std::to_string(n) + ".shtml";
}

std::string VideoAddress(std::string_view host, std::string_view courseId, int n) {
  return "http://" + std::string(host) + "/video/" + std::string(courseId) + "/" +
         std::to_string(n) + ".mp4";
}

std::string CourseListAnswer(const Course& course, std::string_view host) {
  std::string out = R"({"code":0,"msg":"ok","data":{"courseId":")" + course.id +
                    R"(","courseName":")" + course.name + R"(","total":)" +
                    std::to_string(course.Count()) + R"(,"list":[)" + "\n";
  out.reserve(out.size() + static_cast<std::size_t>(course.Count()) * 200);
  for (int n = 1; n <= course.Count(); ++n) {
    Lesson lesson = course.At(n);
    std::string seri = std::to_string(n);
    std::string address = LessonAddress(host, course.id, n);
    if (n > 1) out += ",\n";
    switch (lesson.kind) {
      case LessonKind::kRecordWithoutFields:
        out += R"({"seriNum":")" + seri + R"(","name":")" + lesson.title + R"(","videoUrl":")" +
               address + R"(","duration":")" + Duration(n) + R"(","subtitleUrl":""})";
        break;
      case LessonKind::kUnclosedRecord:
        out += R"({"seriNum":")" + seri + R"(","title":")" + lesson.title + R"(","getVideoUrl":")" +
               address + R"(","duration":")" + Duration(n) + R"("})";
        break;
      default:
        out += R"({"seriNum":")" + seri + R"(","title":")" + lesson.title + R"(","getVideoUrl":")" +
               address + R"(","duration":")" + Duration(n) + R"(","isFree":"1","subtitleUrl":""})";
        break;
    }
  }
  out += "\n]}}\n";
  return out;
}

Reply LessonAnswer(const Course& course, int n, std::string_view host) {
  if (n < 1 || n > course.Count()) return {404, ""};
  switch (course.At(n).kind) {
    case LessonKind::kEmptyLessonAnswer:
      return {404, ""};
    case LessonKind::kLessonAnswerNoMarkers:
      return {200, R"({"code":403,"msg":"需要登录","data":null})"};
    default:
      return {200,
              R"({"code":0,"msg":"ok","data":[")" + VideoAddress(host, course.id, n) + R"("]})"};
  }
}

}  // namespace merravine::sample
