// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include "LevelEdits.h"

#include <algorithm>
#include <map>

namespace vornak::editor {

namespace {

int ColumnOf(int cell) {
    return cell % GridColumns;
}
int RowOf(int cell) {
    return cell / GridColumns;
}
int CellOf(int column, int row) {
    return row * GridColumns + column;
}

char MostCommonTile(const std::string& tiles, char otherwise) {
    std::map<char, int> counts;
    for (const char existing : tiles) {
        ++counts[existing];
    }
    char common = otherwise;
    int most = 0;
    for (const auto& [character, count] : counts) {
        if (count > most) {
            common = character;
            most = count;
        }
    }
    return common;
}

void CoverCell(LevelContent& content, int cell, char otherwise) {
    if (static_cast<std::size_t>(cell) >= content.tiles.size()) {
        content.tiles.resize(static_cast<std::size_t>(cell) + 1,
                             MostCommonTile(content.tiles, otherwise));
    }
}

void SetCell(LevelContent& content, int cell, char tile, const TileKinds* kinds) {
    content.tiles[static_cast<std::size_t>(cell)] = tile;
    if (kinds != nullptr) {
        if (const std::optional<bool> kind = (*kinds)[static_cast<unsigned char>(tile)]) {
            content.walls[static_cast<std::size_t>(cell)] = *kind;
        }
    }
}

char TileAt(const LevelContent& content, int cell) {
    const auto at = static_cast<std::size_t>(cell);
    return at < content.tiles.size() ? content.tiles[at] : '\0';
}

bool Inside(const CellArea& area, int column, int row) {
    return column >= area.left && column <= area.right && row >= area.top && row <= area.bottom;
}

// Moves every cell of area to where place says, tiles, walls and cars together. A short map's
// cells past its end have no tile, and move like any other; a cell left without a tile before
// the map's new end gets the map's most common tile, but only inside the area: a move that would
// need one outside is refused, and returns false.
template <typename Place>
bool MoveCells(LevelContent& content, const CellArea& area, Place place) {
    std::vector<std::optional<char>> tiles(TileCount);
    std::copy(content.tiles.begin(), content.tiles.end(), tiles.begin());
    std::vector<std::optional<char>> movedTiles = tiles;
    LevelContent moved = content;
    for (int row = area.top; row <= area.bottom; ++row) {
        for (int column = area.left; column <= area.right; ++column) {
            const auto from = static_cast<std::size_t>(CellOf(column, row));
            const auto to = static_cast<std::size_t>(place(column, row));
            movedTiles[to] = tiles[from];
            moved.walls[to] = content.walls[from];
        }
    }
    std::size_t end = 0;
    for (std::size_t cell = 0; cell < movedTiles.size(); ++cell) {
        end = movedTiles[cell] ? cell + 1 : end;
    }
    moved.tiles.clear();
    for (std::size_t cell = 0; cell < end; ++cell) {
        const int index = static_cast<int>(cell);
        if (!movedTiles[cell] && !Inside(area, ColumnOf(index), RowOf(index))) {
            return false;
        }
        moved.tiles += movedTiles[cell].value_or(MostCommonTile(content.tiles, '.'));
    }
    for (CarStart& car : moved.cars) {
        if (CellGrid::Contains(car.column, car.row) && Inside(area, car.column - 1, car.row - 1)) {
            const int target = place(car.column - 1, car.row - 1);
            car.column = ColumnOf(target) + 1;
            car.row = RowOf(target) + 1;
        }
    }
    content = std::move(moved);
    return true;
}

int Wrapped(int value, int first, int last) {
    const int span = last - first + 1;
    return ((value - first) % span + span) % span + first;
}

}  // namespace

CellArea CellArea::Spanning(int fromCell, int toCell) {
    return {
        std::min(ColumnOf(fromCell), ColumnOf(toCell)), std::min(RowOf(fromCell), RowOf(toCell)),
        std::max(ColumnOf(fromCell), ColumnOf(toCell)), std::max(RowOf(fromCell), RowOf(toCell))};
}

void PaintTile(LevelContent& content, int cell, char tile, const TileKinds* kinds) {
    if (cell < 0 || cell >= TileCount) {
        return;
    }
    CoverCell(content, cell, tile);
    SetCell(content, cell, tile, kinds);
}

void FillArea(LevelContent& content, int cell, char tile, const TileKinds* kinds) {
    if (cell < 0 || cell >= TileCount) {
        return;
    }
    const char from = TileAt(content, cell);
    std::array<bool, TileCount> seen{};
    std::vector<int> pending{cell};
    seen[static_cast<std::size_t>(cell)] = true;
    std::vector<int> area;
    while (!pending.empty()) {
        const int next = pending.back();
        pending.pop_back();
        area.push_back(next);
        const int column = ColumnOf(next);
        const int row = RowOf(next);
        const std::array<std::pair<int, int>, 4> neighbours{
            {{column - 1, row}, {column + 1, row}, {column, row - 1}, {column, row + 1}}};
        for (const auto& [nextColumn, nextRow] : neighbours) {
            if (nextColumn < 0 || nextColumn >= GridColumns || nextRow < 0 || nextRow >= GridRows) {
                continue;
            }
            const int neighbour = CellOf(nextColumn, nextRow);
            if (!seen[static_cast<std::size_t>(neighbour)] && TileAt(content, neighbour) == from) {
                seen[static_cast<std::size_t>(neighbour)] = true;
                pending.push_back(neighbour);
            }
        }
    }
    const int last = *std::max_element(area.begin(), area.end());
    CoverCell(content, last, tile);
    for (const int painted : area) {
        SetCell(content, painted, tile, kinds);
    }
}

Clip CopyArea(const LevelContent& content, const CellArea& area) {
    Clip clip;
    clip.width = area.right - area.left + 1;
    clip.height = area.bottom - area.top + 1;
    for (int row = area.top; row <= area.bottom; ++row) {
        for (int column = area.left; column <= area.right; ++column) {
            const int cell = CellOf(column, row);
            clip.tiles += TileAt(content, cell);
            clip.walls.push_back(content.walls[static_cast<std::size_t>(cell)]);
        }
    }
    return clip;
}

void ClearArea(LevelContent& content, const CellArea& area) {
    std::array<int, 256> freeCells{};
    for (std::size_t cell = 0; cell < content.tiles.size(); ++cell) {
        if (!content.walls[cell]) {
            ++freeCells[static_cast<unsigned char>(content.tiles[cell])];
        }
    }
    const auto most = std::max_element(freeCells.begin(), freeCells.end());
    const bool anyFree = *most > 0;
    const char ground = static_cast<char>(most - freeCells.begin());
    for (int row = area.top; row <= area.bottom; ++row) {
        for (int column = area.left; column <= area.right; ++column) {
            const int cell = CellOf(column, row);
            if (anyFree) {
                PaintTile(content, cell, ground, nullptr);
            }
            content.walls[static_cast<std::size_t>(cell)] = false;
        }
    }
}

void PasteClip(LevelContent& content, const Clip& clip, int column, int row) {
    for (int y = 0; y < clip.height; ++y) {
        for (int x = 0; x < clip.width; ++x) {
            if (column + x < 0 || column + x >= GridColumns || row + y < 0 || row + y >= GridRows) {
                continue;
            }
            const int cell = CellOf(column + x, row + y);
            const auto from = static_cast<std::size_t>(y) * static_cast<std::size_t>(clip.width) +
                              static_cast<std::size_t>(x);
            if (clip.tiles[from] != '\0') {
                PaintTile(content, cell, clip.tiles[from], nullptr);
            }
            content.walls[static_cast<std::size_t>(cell)] = clip.walls[from];
        }
    }
}

MirrorPartners NoPartners() {
    MirrorPartners partners{};
    for (std::size_t tile = 0; tile < partners.size(); ++tile) {
        partners[tile] = static_cast<char>(tile);
    }
    return partners;
}

MirrorPartners FindMirrorPartners(const std::map<char, Picture>& tiles, bool leftRight) {
    const auto mirrorOf = [leftRight](const Picture& picture) {
        Picture mirrored = picture;
        for (int y = 0; y < picture.height; ++y) {
            for (int x = 0; x < picture.width; ++x) {
                mirrored.pixels[static_cast<std::size_t>(y) * picture.width + x] =
                    leftRight ? picture.At(picture.width - 1 - x, y)
                              : picture.At(x, picture.height - 1 - y);
            }
        }
        return mirrored;
    };
    const auto same = [](const Picture& a, const Picture& b) {
        return a.width == b.width && a.height == b.height && a.pixels == b.pixels;
    };
    // Each tile's one other tile showing its mirror image, or itself when there is none or more.
    MirrorPartners candidates = NoPartners();
    for (const auto& [tile, picture] : tiles) {
        const Picture mirrored = mirrorOf(picture);
        if (same(mirrored, picture)) {
            continue;  // its own image: a look-alike tile is no partner
        }
        int found = 0;
        for (const auto& [other, otherPicture] : tiles) {
            if (other != tile && same(otherPicture, mirrored)) {
                candidates[static_cast<unsigned char>(tile)] = other;
                ++found;
            }
        }
        if (found != 1) {
            candidates[static_cast<unsigned char>(tile)] = tile;
        }
    }
    MirrorPartners partners = NoPartners();
    for (const auto& [tile, picture] : tiles) {
        const char other = candidates[static_cast<unsigned char>(tile)];
        if (candidates[static_cast<unsigned char>(other)] == tile) {
            partners[static_cast<unsigned char>(tile)] = other;
        }
    }
    return partners;
}

bool ShiftArea(LevelContent& content, const CellArea& area, int columns, int rows) {
    return MoveCells(content, area, [&area, columns, rows](int column, int row) {
        return CellOf(Wrapped(column + columns, area.left, area.right),
                      Wrapped(row + rows, area.top, area.bottom));
    });
}

bool MirrorArea(LevelContent& content, const CellArea& area, bool leftRight,
                const MirrorPartners& partners) {
    if (!MoveCells(content, area, [&area, leftRight](int column, int row) {
            return leftRight ? CellOf(area.left + area.right - column, row)
                             : CellOf(column, area.top + area.bottom - row);
        })) {
        return false;
    }
    for (int row = area.top; row <= area.bottom; ++row) {
        for (int column = area.left; column <= area.right; ++column) {
            const auto cell = static_cast<std::size_t>(CellOf(column, row));
            if (cell < content.tiles.size()) {
                content.tiles[cell] = partners[static_cast<unsigned char>(content.tiles[cell])];
            }
        }
    }
    const std::pair<const char*, const char*> swapped =
        leftRight ? std::pair{"left", "right"} : std::pair{"up", "down"};
    const bool wholeGrid = area == WholeGrid;
    for (CarStart& car : content.cars) {
        if (!wholeGrid && !(CellGrid::Contains(car.column, car.row) &&
                            Inside(area, car.column - 1, car.row - 1))) {
            continue;
        }
        if (car.heading == swapped.first) {
            car.heading = swapped.second;
        } else if (car.heading == swapped.second) {
            car.heading = swapped.first;
        }
    }
    return true;
}

void ShiftLevel(LevelContent& content, int columns, int rows) {
    ShiftArea(content, WholeGrid, columns, rows);
}

void MirrorLevel(LevelContent& content, bool leftRight) {
    MirrorArea(content, WholeGrid, leftRight, NoPartners());
}

}  // namespace vornak::editor
