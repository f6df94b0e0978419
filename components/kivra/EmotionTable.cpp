#include "EmotionTable.h"

#include "kivra/IEmotionSelector.h"

#include <QHash>
#include <algorithm>
#include <iterator>

namespace {

// In the picker's order; an emoticon's index is its place here.
constexpr EmotionTable::Emotion kEmotions[] = {
    // Faces, 0 to 59.
    {"微笑", "🙂"},
    {"大笑", "😃"},
    {"呲牙", "😁"},
    {"偷笑", "🤭"},
    {"可爱", "😊"},
    {"憨笑", "😄"},
    {"笑哭", "😂"},
    {"捧腹", "🤣"},
    {"眨眼", "😉"},
    {"花痴", "😍"},
    {"飞吻", "😘"},
    {"亲亲", "😗"},
    {"调皮", "😜"},
    {"吐舌", "😛"},
    {"鬼脸", "😝"},
    {"得意", "😎"},
    {"傲慢", "😏"},
    {"脸红", "😳"},
    {"天使", "😇"},
    {"思考", "🤔"},
    {"疑问", "🤨"},
    {"嘘", "🤫"},
    {"闭嘴", "🤐"},
    {"无语", "😑"},
    {"面无表情", "😐"},
    {"白眼", "🙄"},
    {"尴尬", "😬"},
    {"撇嘴", "😒"},
    {"难过", "😞"},
    {"委屈", "🥺"},
    {"流泪", "😢"},
    {"大哭", "😭"},
    {"惊讶", "😮"},
    {"吃惊", "😲"},
    {"惊恐", "😱"},
    {"害怕", "😨"},
    {"冷汗", "😰"},
    {"流汗", "😓"},
    {"生气", "😠"},
    {"怒火", "😡"},
    {"咒骂", "🤬"},
    {"困", "😪"},
    {"睡觉", "😴"},
    {"晕", "😵"},
    {"发烧", "🤒"},
    {"口罩", "😷"},
    {"恶心", "🤢"},
    {"呕吐", "🤮"},
    {"喷嚏", "🤧"},
    {"流口水", "🤤"},
    {"发财", "🤑"},
    {"拥抱", "🤗"},
    {"庆祝", "🥳"},
    {"书呆子", "🤓"},
    {"坏笑", "😈"},
    {"恶魔", "👿"},
    {"骷髅", "💀"},
    {"幽灵", "👻"},
    {"外星人", "👽"},
    {"便便", "💩"},
    // Hands, 60 to 69; the VIP emoticons start at 66.
    {"强", "👍"},
    {"弱", "👎"},
    {"握手", "🤝"},
    {"胜利", "✌️"},
    {"拜托", "🙏"},
    {"好的", "👌"},
    {"鼓掌", "👏"},
    {"拳头", "👊"},
    {"肌肉", "💪"},
    {"挥手", "👋"},
    // Things, 70 on.
    {"爱心", "❤️"},
    {"心碎", "💔"},
    {"玫瑰", "🌹"},
    {"凋谢", "🥀"},
    {"礼物", "🎁"},
    {"蛋糕", "🎂"},
    {"咖啡", "☕"},
    {"啤酒", "🍺"},
    {"西瓜", "🍉"},
    {"米饭", "🍚"},
    {"太阳", "☀️"},
    {"月亮", "🌙"},
    {"星星", "⭐"},
    {"闪电", "⚡"},
    {"炸弹", "💣"},
    {"菜刀", "🔪"},
    {"足球", "⚽"},
    {"篮球", "🏀"},
    {"乒乓", "🏓"},
    {"猪头", "🐷"},
    {"小狗", "🐶"},
    {"小猫", "🐱"},
    {"熊猫", "🐼"},
    {"烟花", "🎆"},
    {"红包", "🧧"},
    {"骰子", "🎲"},
};

// A full picker of 12 by 8, free ones and VIP ones.
static_assert(std::size(kEmotions) == 96 && std::size(kEmotions) > EMOTION_FREE_COUNT);

const QHash<QString, int>& CodeIndex() {
    static const QHash<QString, int> index = [] {
        QHash<QString, int> codes;
        for (int i = 0; i < EmotionTable::Count(); ++i)
            codes.insert(EmotionTable::Code(i), i);
        return codes;
    }();
    return index;
}

} // namespace

namespace EmotionTable {

int Count() {
    return static_cast<int>(std::size(kEmotions));
}

const Emotion& At(int index) {
    return kEmotions[index];
}

QString Code(int index) {
    return QLatin1Char('[') + QString::fromUtf8(At(index).name) + QLatin1Char(']');
}

int FindCode(QStringView code) {
    return CodeIndex().value(code.toString(), -1);
}

int LongestCode() {
    static const int longest = [] {
        qsizetype length = 0;
        for (int i = 0; i < Count(); ++i)
            length = std::max(length, Code(i).size());
        return static_cast<int>(length);
    }();
    return longest;
}

QString ImagePath(int index) {
    return QStringLiteral("data/Emotion/%1.png").arg(index, 3, 10, QLatin1Char('0'));
}

} // namespace EmotionTable
