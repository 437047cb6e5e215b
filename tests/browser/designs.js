// Designs holding every kind of component, in both editions, with and without an
// anchor, and at the standard and a wide module size, for the layout check.
'use strict';

const LAYER = 'most-footer footer-more-trigger address-all-close';

// The module wrapper as the settings window builds it on confirming.
function moduleWrapper({ width, height, edition, anchor, colour = '#00E080' }) {
  let wrapper =
    `<div class="ZozIre" data-title="{data-title}" style="width:${width}px;height:${height}px;">` +
    `<div class="${LAYER}" style="width:${width}px;height:${height}px;border:0;padding:0;top:auto;left:auto;right:auto;background:none;">` +
    `<div class="${LAYER}" style="width:${width}px;height:${height}px;border:0;padding:0;top:0;left:0;right:auto;background:none;">` +
    (anchor
      ? `<div class="${LAYER}" style="border:0;padding:0;background:transparent;top:0;left:0;right:auto;">\r\n` +
        `\t\t<a name="${anchor}" style="font-size:0.1px;line-height:0.1px;visibility:hidden;height:0;">\r\n\t\t</a>\r\n\t</div>`
      : '') +
    `<div class="${LAYER}" style="background:none;border:0;padding:0;width:${width}px;height:${height}px;top:auto;left:{left}px;right:auto;background-color:${colour};background-image:url();background-repeat:repeat;background-position:right top;background-attachment:scroll;">\r\n</div>\r\n`;
  const standard = edition === 0 ? 990 : 950;
  if (edition === 0)
    wrapper = wrapper.split(LAYER).join('sn-simple-logo');
  return wrapper.replace('{left}', String(width > standard ? (width - standard) / -2 : 0));
}

// Kind, geometry and the cells its template reads. Rows 1-3 overlap (image,
// favourite, share) and rows 4-5 overlap (image, hotspot) for the stacking checks.
const COMPONENTS = [
  { kind: '图片', box: [10, 10, 120, 80], cells: { 图片: 'http://img.example/a.jpg', 链接: '#', 文字: 'a', 其它: '_blank' } },
  { kind: '收藏', box: [50, 30, 120, 80], cells: { 图片: 'http://img.example/fav.png', 链接: 'http://shop.example/' } },
  { kind: '分享', box: [90, 50, 120, 80], cells: { 图片: '12345', 链接: 'http://img.example/share.png' } },
  { kind: '图片', box: [230, 10, 100, 80], cells: { 图片: 'http://img.example/b.jpg', 链接: '#', 其它: '_self' } },
  { kind: '热点', box: [280, 40, 100, 80], cells: { 图片: 'tip', 链接: 'http://shop.example/h', 背景色: '_blank' } },
  { kind: '换图', box: [400, 10, 100, 80], cells: { 图片: 'http://img.example/f.jpg', 链接: 'http://img.example/g.jpg', 其它1: '_blank' } },
  { kind: '放大', box: [520, 10, 90, 50], cells: { 图片: 'http://img.example/s.jpg', 链接: 'http://img.example/l.jpg', 文字: '#', 其它1: '#ccc', 背景代码: '1.5' } },
  { kind: '文字', box: [640, 10, 150, 30], cells: { 图片: '文字内容', 链接: '#', 其它: 'serif', 其它1: '14px', 背景代码: '#000', 其它5: 'center' } },
  { kind: '二维码', box: [820, 10, 100, 60], cells: { 文字: 'http://qr.example/q.png' } },
  { kind: '购物车', box: [10, 150, 80, 40], cells: { 图片: 'http://img.example/cart.png', 链接: 'http://item.example/1' } },
  { kind: '喜欢', box: [110, 150, 80, 40], cells: { 图片: '12345', 链接: '1' } },
  { kind: '关注', box: [210, 150, 80, 40], cells: { 图片: '678', 链接: 'http://img.example/follow.png' } },
  { kind: '客服', box: [310, 150, 100, 80], cells: { 图片: '店主', 链接: 'http://img.example/head.png', 文字: '0', 背景色: '1', 其它: '1', 其它1: '0', 其它2: '0' } },
  { kind: '旺旺群', box: [430, 150, 80, 40], cells: { 图片: 'http://img.example/ww.png', 链接: '99' } },
  { kind: '视频', box: [530, 150, 120, 80], cells: { 图片: 'http://video.example/p/1/e/v.swf', 链接: '0' } },
  { kind: '倒计时', box: [670, 150, 200, 40], cells: { 图片: '2030-11-11 00:00:00', 链接: '40', 文字: '16', 背景色: '0', 其它: '#f00', 其它1: '1', 背景代码: 'http://img.example/cd.png', 其它4: 'sans-serif' } },
  { kind: '搜索', box: [10, 260, 300, 36], cells: { 图片: '搜索', 链接: 'http://shop.example.com', 文字: '200', 背景色: '30', 其它: '60', 其它1: '30', 其它2: '#fff', 背景代码: '#333', 其它4: '#999', 其它5: '#f60' } },
  { kind: 'flash', box: [330, 260, 100, 60], cells: { 图片: 'http://img.example/m.swf' } },
  { kind: '轮播', box: [450, 260, 300, 150] },
  { kind: '左箭头19', box: [440, 310, 30, 40] },
  { kind: '右箭头19', box: [730, 300, 20, 20] },
  { kind: '客服', box: [10, 420, 100, 60], cells: { 图片: 'kefu', 链接: 'http://img.example/h2.png', 文字: '1', 背景色: '0', 其它: '2', 其它1: '1', 其它2: '0' } },
];

// The carousel in row 19 reads data/code/Carousel19.ini under the program directory.
const CAROUSEL_ROW = 19;
const CAROUSEL_SETTINGS = [
  '[configure]', 'Number=1', 'z_f=0', 'q_g2=easeBoth', 'd_g2=scrollx',
  't_1=http://img.example/c1.jpg', 'l_1=#', 't_2=http://img.example/c2.jpg', 'l_2=#',
  't_3=http://img.example/c3.jpg', 'l_3=#', 'j_j=0', 'j_z=http://img.example/l.png',
  'j_y=http://img.example/r.png', 'd_s=0', '',
].join('\r\n');

const Z_INDEX = {
  图片: 2, 热点: 2, 换图: 3, 放大: 2, 文字: 2, 收藏: 3, 分享: 4, 二维码: 2, 购物车: 2,
  喜欢: 2, 关注: 3, 客服: 3, 旺旺群: 2, 视频: 2, 倒计时: 3, 搜索: 2, flash: 2, 轮播: 2,
};

const VARIANTS = [
  { name: '天猫 950x500', edition: 0, width: 950, height: 500, anchor: '' },
  { name: '集市 950x500 with anchor', edition: 1, width: 950, height: 500, anchor: 'top' },
  { name: '天猫 1920x520 with anchor', edition: 0, width: 1920, height: 520, anchor: 'mod' },
  { name: '集市 1920x520', edition: 1, width: 1920, height: 520, anchor: '' },
];

function designRows(variant) {
  const rows = [{
    标识: '1', 备注: '背景', 宽度: String(variant.width), 高度: String(variant.height), 左边: '0',
    顶边: '0', 背景色: '8445952', 其它: '2', 其它1: '0', 其它2: '0', 文字: '0',
    链接: variant.anchor, 背景代码: String(variant.edition), 其它4: moduleWrapper(variant),
  }];
  COMPONENTS.forEach((c, i) => {
    const [left, top, width, height] = c.box;
    rows.push({
      标识: String(i + 2), 备注: c.kind, 宽度: String(width), 高度: String(height),
      左边: String(left), 顶边: String(top), ...(c.cells || {}),
    });
  });
  return { rows };
}

module.exports = { COMPONENTS, CAROUSEL_ROW, CAROUSEL_SETTINGS, Z_INDEX, VARIANTS, designRows };
