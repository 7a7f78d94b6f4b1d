#pragma once

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <sys/stat.h>

// A temporary folder that is the current directory while a test runs, with files described as
// text: "a/b=content" is a file, "a/" a folder, "a/l->target" a symbolic link, and "a/big=@N" a
// file of N bytes of a pattern.
struct TestTree {
    QTemporaryDir dir;
    QString previous = QDir::currentPath();

    TestTree() { QDir::setCurrent(dir.path()); }
    ~TestTree() { QDir::setCurrent(previous); }

    static std::string pattern(std::size_t n)
    {
        std::string s(n, '\0');
        for (std::size_t i = 0; i < n; ++i)
            s[i] = char('a' + (i * 7 + i / 4096) % 26);
        return s;
    }

    static void make(const std::vector<std::string>& entries)
    {
        namespace fs = std::filesystem;
        for (const std::string& e : entries) {
            if (const auto arrow = e.find("->"); arrow != std::string::npos) {
                fs::path p = e.substr(0, arrow);
                fs::create_directories(p.parent_path().empty() ? "." : p.parent_path());
                fs::create_symlink(e.substr(arrow + 2), p);
            } else if (const auto eq = e.find('='); eq != std::string::npos) {
                fs::path p = e.substr(0, eq);
                fs::create_directories(p.parent_path().empty() ? "." : p.parent_path());
                std::string content = e.substr(eq + 1);
                if (content.starts_with('@'))
                    content = pattern(std::stoul(content.substr(1)));
                std::ofstream(p, std::ios::binary) << content;
            } else {
                fs::create_directories(e);
            }
        }
    }

    static std::string read(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    // Everything in the current directory in the notation above; contents longer than 32 bytes
    // are shown by their size and whether they are the pattern.
    static std::vector<std::string> list()
    {
        namespace fs = std::filesystem;
        std::vector<std::string> out;
        for (auto it = fs::recursive_directory_iterator("."); it != fs::end(it); ++it) {
            const std::string path = it->path().lexically_relative(".").string();
            if (it->is_symlink())
                out.push_back(path + "->" + fs::read_symlink(it->path()).string());
            else if (it->is_directory())
                out.push_back(path + "/");
            else {
                std::string content = read(path);
                if (content.size() > 32)
                    content = content == pattern(content.size())
                                  ? "@" + std::to_string(content.size())
                                  : "<" + std::to_string(content.size()) + " other bytes>";
                out.push_back(path + "=" + content);
            }
        }
        std::sort(out.begin(), out.end());
        return out;
    }
};
