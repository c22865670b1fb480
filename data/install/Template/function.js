/*
 * Pavonia presentation player: the script of every published page.
 *
 * The published page loads this file and then runs, in one inline script:
 *   InitMediaLayer(left, top, width, height);   where slide media are shown
 *   AppendPageInfo(...); AppendPageInfo(...);  one call per slide, in order
 *   StartPresentation(start, autoPlay, autoLoop, autoJump);
 *
 * AppendPageInfo(talkingImage, talkingMessage, media, delay, transition,
 *                subTopic, description)
 *   talkingImage, talkingMessage: file names, given on the first slide of a
 *     session and empty on its later slides;
 *   media: the slide's picture or clip, "?" for none;
 *   delay: seconds from the start of this slide to the start of the next
 *     one of the same session;
 *   transition: number of the slide transition, -1 for none;
 *   subTopic, description: HTML text, "?" for none.
 * File names may carry a folder prefix ("deck_PVData/a.jpg" or
 * "deck_PVData\a.jpg"); both separators are read as folder separators.
 *
 * A page opened straight from disk cannot read other files' bytes from
 * script, so everything the player needs to know about a talking image or a
 * talking message comes from a small data script published beside it
 * (NAME.js for the file NAME, see docs/page-data.md), which this player
 * loads with a <script> element. The voice itself plays in an <audio>
 * element: a talking message is a wave file.
 *
 * Time runs on one presentation timeline: sessions follow each other, each
 * as long as its slides' delays or its voice, whichever is longer. While a
 * session's voice plays, the voice's own clock is the session's clock, so the
 * slides never drift from the narration.
 *
 * The script interface, window.PavoniaPlayer, is described in
 * docs/player-api.md.
 */
(function (global) {
    "use strict";

    var document = global.document;

    // --- Texts the player shows ---------------------------------------------
    // A page may replace any of them by defining window.PavoniaTexts before
    // this script runs.
    var TEXTS = {
        play: "Play",
        pause: "Pause",
        previous: "Previous slide",
        next: "Next slide",
        mute: "Mute",
        unmute: "Sound on",
        volume: "Volume",
        transcript: "Transcript",
        fullScreen: "Full screen",
        exitFullScreen: "Leave full screen",
        seek: "Position in the presentation",
        start: "Start the presentation",
        openClip: "Open the clip",
        missingPicture: "The picture could not be shown.",
        slide: "Slide",
        close: "Close"
    };
    (function () {
        var own = global.PavoniaTexts;
        if (own && typeof own === "object")
            for (var key in own)
                if (Object.prototype.hasOwnProperty.call(TEXTS, key) && typeof own[key] === "string")
                    TEXTS[key] = own[key];
    })();

    // --- Constants ----------------------------------------------------------

    var TRANSITION_MS = 800;       // a transition's full length
    var TRANSITION_COUNT = 18;     // values 0 to 17 are single transitions
    var RANDOM_TRANSITION = 18;

    // --- Small helpers ------------------------------------------------------

    function isNone(value) {
        return value === undefined || value === null || value === "" || value === "?";
    }

    // A page-relative URL for a published file name.
    function fileUrl(name) {
        var parts = String(name).replace(/\\/g, "/").split("/");
        for (var i = 0; i < parts.length; ++i)
            parts[i] = encodeURIComponent(parts[i]);
        return parts.join("/");
    }

    function baseName(name) {
        var parts = String(name).replace(/\\/g, "/").split("/");
        return parts[parts.length - 1];
    }

    function extension(name) {
        var base = baseName(name);
        var dot = base.lastIndexOf(".");
        return dot >= 0 ? base.substring(dot + 1).toLowerCase() : "";
    }

    function mediaKind(name) {
        var ext = extension(name);
        if (/^(jpe?g|gif|bmp|png|webp|svg)$/.test(ext))
            return "picture";
        if (/^(mp4|m4v|webm|ogg|ogv)$/.test(ext))
            return "video";
        if (/^(mp3|wav|oga|m4a)$/.test(ext))
            return "audio";
        return "card";
    }

    function byId(id) {
        return document.getElementById(id);
    }

    function clamp(x, low, high) {
        return x < low ? low : x > high ? high : x;
    }

    function now() {
        return global.performance && global.performance.now ? global.performance.now() : Date.now();
    }

    function formatTime(ms) {
        var seconds = Math.max(0, Math.floor(ms / 1000));
        var minutes = Math.floor(seconds / 60);
        seconds -= minutes * 60;
        return minutes + ":" + (seconds < 10 ? "0" : "") + seconds;
    }

    function warn(text) {
        if (global.console && global.console.warn)
            global.console.warn("Pavonia: " + text);
    }

    // --- Presentation data --------------------------------------------------

    var slides = [];
    var sessions = [];
    var mediaRect = { left: 0, top: 0, width: 0, height: 0 };
    var scriptBase = "";

    // Where this script was loaded from: "loading.gif" lies beside it.
    (function () {
        var script = document.currentScript;
        if (!script) {
            var all = document.getElementsByTagName("script");
            script = all.length ? all[all.length - 1] : null;
        }
        var src = script && script.src ? script.src : "";
        var cut = src.lastIndexOf("/");
        scriptBase = cut >= 0 ? src.substring(0, cut + 1) : "";
    })();

    function InitMediaLayer(left, top, width, height) {
        mediaRect = {
            left: Number(left) || 0,
            top: Number(top) || 0,
            width: Number(width) || 0,
            height: Number(height) || 0
        };
    }

    function AppendPageInfo(talkingImage, talkingMessage, media, delay, transition,
                            subTopic, description) {
        var startsSession = !isNone(talkingImage) || !isNone(talkingMessage) || sessions.length === 0;
        if (startsSession) {
            sessions.push({
                index: sessions.length,
                talkingImage: isNone(talkingImage) ? "" : String(talkingImage),
                talkingMessage: isNone(talkingMessage) ? "" : String(talkingMessage),
                firstSlide: slides.length,
                slideCount: 0,
                delaysMs: 0,
                voiceMs: 0,        // length of the voice, once known
                voice: "unknown",  // "unknown", "none", "ready", "silent" (cannot be heard) or "failed"
                frames: null,      // lip-sync values, 6 per frame
                face: null,        // the face to draw
                startMs: 0,
                durationMs: 0
            });
        }
        var session = sessions[sessions.length - 1];
        var seconds = Number(delay);
        var number = parseInt(transition, 10);
        slides.push({
            index: slides.length,
            session: session,
            media: isNone(media) ? "" : String(media),
            delayMs: isFinite(seconds) && seconds > 0 ? Math.round(seconds * 1000) : 0,
            transition: isFinite(number) ? number : -1,
            subTopic: isNone(subTopic) ? "" : String(subTopic),
            description: isNone(description) ? "" : String(description),
            offsetMs: session.delaysMs, // from the start of its session
            startMs: 0
        });
        session.slideCount += 1;
        session.delaysMs += slides[slides.length - 1].delayMs;
    }

    // Lays the sessions end to end: each lasts as long as its slides'
    // delays or its voice, whichever is longer.
    var totalMs = 0;
    function layOutTimeline() {
        var at = 0;
        for (var i = 0; i < sessions.length; ++i) {
            var s = sessions[i];
            s.startMs = at;
            s.durationMs = Math.max(s.delaysMs, s.voice === "none" || s.voice === "failed" ? 0 : s.voiceMs);
            at += s.durationMs;
        }
        for (var k = 0; k < slides.length; ++k)
            slides[k].startMs = slides[k].session.startMs + slides[k].offsetMs;
        totalMs = at;
    }

    // The slide on screen at `ms` of its session: the last one whose start
    // has passed; a slide with no delay of its own is passed over.
    function slideInSession(session, ms) {
        var last = session.firstSlide + session.slideCount - 1;
        for (var k = session.firstSlide; k < last; ++k) {
            var slide = slides[k];
            if (ms < slide.offsetMs + slide.delayMs)
                return k;
        }
        return last;
    }

    function sessionAt(ms) {
        for (var i = 0; i < sessions.length; ++i)
            if (ms < sessions[i].startMs + sessions[i].durationMs)
                return i;
        return sessions.length - 1;
    }

    // --- Page data scripts --------------------------------------------------

    // Data scripts push their object onto window.PavoniaData; they are
    // collected here by the file name they describe.
    var pageData = {};
    var scriptLoads = {};

    function collectPageData() {
        var queue = global.PavoniaData;
        if (!queue || typeof queue.length !== "number")
            return;
        while (queue.length) {
            var item = queue.shift();
            if (item && typeof item === "object" && typeof item.file === "string")
                pageData[item.file.toLowerCase()] = item;
        }
    }

    // Loads the data script of the published file `name` once and calls
    // `done(data)` with its data, or with null when there is none.
    function loadPageData(name, done) {
        var url = fileUrl(name) + ".js";
        var key = baseName(name).toLowerCase();
        var entry = scriptLoads[url];
        if (!entry) {
            entry = scriptLoads[url] = { finished: false, waiting: [] };
            var script = document.createElement("script");
            var finish = function () {
                collectPageData();
                entry.finished = true;
                if (script.parentNode)
                    script.parentNode.removeChild(script);
                var waiting = entry.waiting;
                entry.waiting = [];
                for (var i = 0; i < waiting.length; ++i)
                    waiting[i]();
            };
            script.onload = finish;
            script.onerror = function () {
                warn("no data script for " + name);
                finish();
            };
            script.src = url;
            (document.head || document.documentElement).appendChild(script);
        }
        var answer = function () {
            done(Object.prototype.hasOwnProperty.call(pageData, key) ? pageData[key] : null);
        };
        if (entry.finished)
            answer();
        else
            entry.waiting.push(answer);
    }

    // --- The face -------------------------------------------------------------
    // Drawn by face.js, which the page loads first; without it the talker
    // area stays empty and the rest plays.
    var Face = global.PavoniaFace || {
        FRAME_MS: 40,
        makeFace: function () { return null; },
        plainFace: null,
        drawFace: function (canvas) {
            var ctx = canvas.getContext("2d");
            if (ctx)
                ctx.clearRect(0, 0, canvas.width, canvas.height);
            return 0;
        }
    };
    var FRAME_MS = Face.FRAME_MS;

    // --- Transitions ----------------------------------------------------------

    // A small seeded generator, so a transition looks the same every time
    // it is drawn for the same slide.
    function seeded(seed) {
        var state = (seed * 2654435761) >>> 0;
        return function () {
            state = (Math.imul(state, 1664525) + 1013904223) >>> 0;
            return state / 4294967296;
        };
    }

    // The transition a slide runs: its own value, or for the random entry
    // one chosen from the slide's number.
    function transitionOf(slide) {
        var value = slide.transition;
        if (value === RANDOM_TRANSITION)
            return Math.floor(seeded(slide.index + 1)() * TRANSITION_COUNT);
        return value >= 0 && value < TRANSITION_COUNT ? value : -1;
    }

    function rectPath(x, y, w, h, right, bottom) {
        var x0 = clamp(x, 0, right), y0 = clamp(y, 0, bottom);
        var x1 = clamp(x + w, 0, right), y1 = clamp(y + h, 0, bottom);
        if (x1 <= x0 || y1 <= y0)
            return "";
        return "M" + x0.toFixed(2) + " " + y0.toFixed(2) + "H" + x1.toFixed(2) + "V" + y1.toFixed(2) +
               "H" + x0.toFixed(2) + "Z";
    }

    function circlePath(cx, cy, r) {
        if (r <= 0)
            return "";
        return "M" + (cx - r).toFixed(2) + " " + cy.toFixed(2) +
               "A" + r.toFixed(2) + " " + r.toFixed(2) + " 0 1 0 " + (cx + r).toFixed(2) + " " + cy.toFixed(2) +
               "A" + r.toFixed(2) + " " + r.toFixed(2) + " 0 1 0 " + (cx - r).toFixed(2) + " " + cy.toFixed(2) + "Z";
    }

    // Where the incoming slide shows at progress `p` of transition `type` in
    // a box `w` by `h`: SVG path data read with the even-odd rule, so the
    // outgoing slide shows in the rest (the whole box added once more).
    function revealPath(type, w, h, p, slideIndex) {
        var full = rectPath(0, 0, w, h, w, h);
        var cx = w / 2, cy = h / 2;
        var i, parts = "";
        switch (type) {
        case 0: // Box In: the new slide closes in from the edges
            return full + rectPath(cx - cx * (1 - p), cy - cy * (1 - p), w * (1 - p), h * (1 - p), w, h);
        case 1: // Box Out: it grows from the middle
            return rectPath(cx - cx * p, cy - cy * p, w * p, h * p, w, h);
        case 2: // Circle In
            return full + circlePath(cx, cy, Math.sqrt(cx * cx + cy * cy) * (1 - p));
        case 3: // Circle Out
            return circlePath(cx, cy, Math.sqrt(cx * cx + cy * cy) * p);
        case 4: // Wipe Up: from the bottom edge up
            return rectPath(0, h * (1 - p), w, h * p, w, h);
        case 5: // Wipe Down
            return rectPath(0, 0, w, h * p, w, h);
        case 6: // Wipe Right: from the left edge to the right
            return rectPath(0, 0, w * p, h, w, h);
        case 7: // Wipe Left
            return rectPath(w * (1 - p), 0, w * p, h, w, h);
        case 8: { // Vertical Blinds
            var count = Math.max(4, Math.round(w / 60));
            var step = w / count;
            for (i = 0; i < count; ++i)
                parts += rectPath(i * step, 0, step * p, h, w, h);
            return parts;
        }
        case 9: { // Horizontal Blinds
            var rows = Math.max(4, Math.round(h / 60));
            var band = h / rows;
            for (i = 0; i < rows; ++i)
                parts += rectPath(0, i * band, w, band * p, w, h);
            return parts;
        }
        case 10: case 11: { // Checkerboard Across, Checkerboard Down
            var across = type === 10;
            var cells = 8;
            var along = across ? w : h;
            var side = across ? h : w;
            var cell = along / cells;
            var lines = Math.max(2, Math.round(side / cell));
            var thick = side / lines;
            // Every other line of squares starts half a square later; each
            // square fills over the whole transition, so the board fills by
            // the end.
            for (var line = 0; line < lines; ++line) {
                var shift = line % 2 ? -cell / 2 : 0;
                for (var c = 0; c <= cells; ++c) {
                    var start = shift + c * cell;
                    var size = cell * p;
                    parts += across ? rectPath(start, line * thick, size, thick, w, h)
                                    : rectPath(line * thick, start, thick, size, w, h);
                }
            }
            return parts;
        }
        case 12: { // Random Dissolve: blocks appear in a fixed random order
            var blockCols = 32;
            var blockRows = Math.max(1, Math.round(blockCols * h / Math.max(w, 1)));
            var bw = w / blockCols, bh = h / blockRows;
            var random = seeded(slideIndex + 7);
            for (var r = 0; r < blockRows; ++r)
                for (var k = 0; k < blockCols; ++k)
                    if (random() < p)
                        parts += rectPath(k * bw, r * bh, bw + 0.5, bh + 0.5, w, h);
            return parts;
        }
        case 13: // Split Vertical In: from the left and right edges inwards
            return rectPath(0, 0, cx * p, h, w, h) + rectPath(w - cx * p, 0, cx * p, h, w, h);
        case 14: // Split Vertical Out: from the middle outwards
            return rectPath(cx - cx * p, 0, w * p, h, w, h);
        case 15: // Split Horizontal In: from the top and bottom edges
            return rectPath(0, 0, w, cy * p, w, h) + rectPath(0, h - cy * p, w, cy * p, w, h);
        case 16: // Split Horizontal Out
            return rectPath(0, cy - cy * p, w, h * p, w, h);
        default:
            return full;
        }
    }

    // --- The slide areas --------------------------------------------------

    // Each area shows its slide's part in a "slot" element; during a
    // transition the outgoing slot stays below the incoming one.
    var AREAS = [
        { area: "SubTopicArea", id: "SubTopic", part: "subTopic" },
        { area: "MediaArea", id: "MediaContent", part: "media" },
        { area: "DescriptionLayer", id: "Description", part: "description" }
    ];

    function slotOf(slotArea) {
        return byId(slotArea.id);
    }

    function releaseSlot(slot) {
        if (!slot)
            return;
        var clips = slot.querySelectorAll("video, audio");
        for (var i = 0; i < clips.length; ++i) {
            try {
                clips[i].pause();
                clips[i].removeAttribute("src");
                clips[i].load();
            } catch (e) {
                // nothing more to free
            }
        }
        if (slot.parentNode)
            slot.parentNode.removeChild(slot);
    }

    // A card naming a file the page cannot show itself; with `linkText`, a
    // link that opens it.
    function fileCard(name, linkText, note) {
        var box = document.createElement("div");
        box.className = "pv-clip";
        var icon = document.createElement("div");
        icon.className = "pv-clip-icon";
        box.appendChild(icon);
        var title = document.createElement("div");
        title.className = "pv-clip-name";
        title.textContent = baseName(name);
        box.appendChild(title);
        if (note) {
            var line = document.createElement("div");
            line.className = "pv-clip-note";
            line.textContent = note;
            box.appendChild(line);
        }
        if (linkText) {
            var link = document.createElement("a");
            link.href = fileUrl(name);
            link.target = "_blank";
            link.rel = "noopener";
            link.textContent = linkText;
            box.appendChild(link);
        }
        return box;
    }

    function fillMedia(slot, slide) {
        if (!slide.media)
            return;
        var kind = mediaKind(slide.media);
        if (kind === "picture") {
            var picture = new Image();
            picture.className = "pv-picture";
            picture.alt = "";
            slot.classList.add("pv-loading");
            if (scriptBase)
                slot.style.backgroundImage = 'url("' + scriptBase.replace(/["\\]/g, encodeURIComponent) + 'loading.gif")';
            var settle = function () {
                slot.classList.remove("pv-loading");
                slot.style.backgroundImage = "";
            };
            picture.onload = settle;
            picture.onerror = function () {
                settle();
                if (picture.parentNode === slot) {
                    slot.removeChild(picture);
                    slot.appendChild(fileCard(slide.media, "", TEXTS.missingPicture));
                }
            };
            picture.src = fileUrl(slide.media);
            slot.appendChild(picture);
        } else if (kind === "video" || kind === "audio") {
            var clip = document.createElement(kind);
            clip.className = kind === "video" ? "pv-picture" : "pv-sound-clip";
            clip.controls = true;
            clip.preload = "metadata";
            clip.playsInline = true;
            clip.setAttribute("playsinline", "");
            if (kind === "video")
                clip.muted = true; // the narration has the sound
            clip.onerror = function () {
                if (clip.parentNode === slot) {
                    releaseSlot(clip);
                    slot.appendChild(fileCard(slide.media, TEXTS.openClip));
                }
            };
            clip.src = fileUrl(slide.media);
            slot.appendChild(clip);
        } else {
            slot.appendChild(fileCard(slide.media, TEXTS.openClip));
        }
    }

    function makeSlot(slotArea, slide, className) {
        var slot = document.createElement("div");
        slot.className = className;
        slot.classList.add("pv-slot");
        if (slotArea.part === "media")
            fillMedia(slot, slide);
        else
            slot.innerHTML = slide[slotArea.part];
        return slot;
    }

    function hasPart(slotArea, slide) {
        return !!(slide && slide[slotArea.part]);
    }

    // What the areas show: slide `to`, coming in over slide `from` at
    // progress `p` of the transition (1: done).
    var shown = { to: -1, from: -1, p: 1 };

    function placeSlides(from, to) {
        for (var i = 0; i < AREAS.length; ++i) {
            var slotArea = AREAS[i];
            var area = byId(slotArea.area);
            var current = slotOf(slotArea);
            if (!area || !current)
                continue;
            var className = current.className.replace(/\s*\bpv-(slot|outgoing|loading)\b/g, "");
            var old = area.querySelectorAll(".pv-outgoing");
            for (var j = 0; j < old.length; ++j)
                releaseSlot(old[j]);
            current.removeAttribute("id");
            if (from >= 0 && from !== to) {
                // The slide going out: the one on screen, or made afresh
                // when another is shown (a picture of any moment).
                var outgoing = current;
                if (shown.to !== from) {
                    releaseSlot(current);
                    outgoing = makeSlot(slotArea, slides[from], className);
                    area.appendChild(outgoing);
                }
                outgoing.classList.add("pv-outgoing");
            } else {
                releaseSlot(current);
            }
            var fresh = makeSlot(slotArea, slides[to], className);
            fresh.id = slotArea.id;
            area.appendChild(fresh);
        }
        shown.from = from;
        shown.to = to;
    }

    // Shows the transition at progress `p` (0 to 1).
    function drawTransition(p) {
        p = clamp(p, 0, 1);
        shown.p = p;
        var slide = slides[shown.to];
        var type = slide ? transitionOf(slide) : -1;
        var running = shown.from >= 0 && p < 1 && type >= 0;
        for (var i = 0; i < AREAS.length; ++i) {
            var slotArea = AREAS[i];
            var area = byId(slotArea.area);
            var incoming = slotOf(slotArea);
            if (!area || !incoming)
                continue;
            var outgoing = area.querySelector(".pv-outgoing");
            var wasShown = shown.from >= 0 && hasPart(slotArea, slides[shown.from]);
            var isShown = hasPart(slotArea, slide);
            // An area the slide leaves empty does not stay up as a blank
            // panel, once the outgoing slide has left it.
            area.classList.toggle("pv-empty", !isShown && !(running && wasShown));
            if (!running) {
                if (outgoing)
                    releaseSlot(outgoing);
                incoming.style.clipPath = "";
                incoming.style.opacity = "";
                continue;
            }
            // The slot's own box: a style may set it in from the area's edge.
            var w = incoming.offsetWidth || area.clientWidth, h = incoming.offsetHeight || area.clientHeight;
            // The outgoing slot may be the slide on screen, still cut or
            // faded by a transition of its own that a picture of a moment
            // showed half way: each style is set afresh.
            if (type === 17) { // Fade
                incoming.style.clipPath = "";
                incoming.style.opacity = String(p);
                if (outgoing) {
                    outgoing.style.clipPath = "";
                    outgoing.style.opacity = String(1 - p);
                }
                continue;
            }
            var reveal = revealPath(type, w, h, p, slide.index);
            incoming.style.clipPath = 'path(evenodd, "' + (reveal || "M0 0Z") + '")';
            incoming.style.opacity = "";
            if (outgoing) {
                outgoing.style.clipPath = 'path(evenodd, "' + rectPath(0, 0, w, h, w, h) + reveal + '")';
                outgoing.style.opacity = "";
            }
        }
    }

    // --- Player state -----------------------------------------------------

    var state = {
        started: false,
        playing: false,
        autoPlay: true,
        autoLoop: false,
        autoJump: true,
        session: -1,       // index of the session whose voice is loaded
        slide: -1,         // index of the slide on screen
        timeMs: 0,         // position on the timeline
        clock: "wall",     // "voice" while the session's voice is the clock
        wallBaseMs: 0,     // session time at wallAt
        wallAt: 0,
        waitingForVoice: false,
        pinned: -1,        // a slide chosen by hand at a time it shares
        mouthOpen: 0,
        transition: null,  // { from, to, startedAt, duration } while one runs
        rendering: false,  // renderAt has taken over the picture
        dataReady: false,  // every message data script has been read
        blocked: false     // the browser refused to start the sound
    };

    var audio = null;
    var canvas = null;
    var frameRequest = 0;
    var fallbackTimer = 0;

    function currentSession() {
        return state.session >= 0 ? sessions[state.session] : null;
    }

    function sessionTime() {
        var s = currentSession();
        return s ? state.timeMs - s.startMs : 0;
    }

    // --- The voice --------------------------------------------------------

    function voiceUsable(s) {
        return s && s.talkingMessage && s.voice !== "none" && s.voice !== "failed" && s.voice !== "silent";
    }

    // Two audio elements: the voice of the session on screen and, loading
    // ahead, the voice of the session after it, so the next session starts
    // without waiting for its file.
    var spare = null;

    function makeAudio() {
        var element = document.createElement("audio");
        element.preload = "auto";
        element.volume = volume.level;
        element.muted = volume.muted;
        element.addEventListener("ended", function () {
            if (element === audio)
                onVoiceEnded();
        });
        element.addEventListener("error", function () {
            if (element === audio)
                onVoiceError();
        });
        element.addEventListener("loadedmetadata", function () {
            var s = sessions[element.pavoniaSession];
            if (!s)
                return;
            var ms = isFinite(element.duration) ? Math.round(element.duration * 1000) : 0;
            if (ms > 0 && (s.voice === "unknown" || s.voice === "ready")) {
                if (s.voice === "unknown" || Math.abs(s.voiceMs - ms) > FRAME_MS) {
                    s.voiceMs = ms;
                    layOutTimeline();
                }
                s.voice = "ready";
            }
            updateControls();
        });
        return element;
    }

    // Points `element` at the voice of session `index` (or at nothing).
    function pointAt(element, index) {
        var s = sessions[index];
        element.pavoniaSession = index;
        if (voiceUsable(s)) {
            var url = fileUrl(s.talkingMessage);
            if (element.getAttribute("src") !== url)
                element.src = url;
        } else if (element.getAttribute("src")) {
            element.removeAttribute("src");
            element.load();
        }
    }

    function quiet(element) {
        try {
            element.pause();
        } catch (e) {
            // an element that never played
        }
    }

    // Makes the voice of session `index` the one loaded.
    function loadVoice(index) {
        if (!audio)
            audio = makeAudio();
        if (audio.pavoniaSession !== index) {
            quiet(audio);
            if (spare && spare.pavoniaSession === index && spare.getAttribute("src")) {
                var previous = audio;
                audio = spare;
                spare = previous;
            } else {
                pointAt(audio, index);
            }
        } else {
            pointAt(audio, index);
        }
        var following = index + 1 < sessions.length ? index + 1 : state.autoLoop ? 0 : -1;
        if (following >= 0 && following !== index && voiceUsable(sessions[following])) {
            if (!spare)
                spare = makeAudio();
            if (spare.pavoniaSession !== following) {
                quiet(spare);
                pointAt(spare, following);
            }
        }
        // An error that came while the voice was loading ahead.
        if (audio.error && voiceUsable(sessions[index]))
            global.setTimeout(onVoiceError, 0);
    }

    function onVoiceEnded() {
        var s = currentSession();
        if (!s || audio.pavoniaSession !== s.index || state.clock !== "voice")
            return;
        // The voice is over; the rest of the session runs on the wall clock.
        var ms = isFinite(audio.duration) ? audio.duration * 1000 : s.voiceMs;
        state.clock = "wall";
        state.wallBaseMs = Math.max(ms, sessionTime());
        state.wallAt = now();
        tick();
    }

    function onVoiceError() {
        var s = currentSession();
        if (!s || audio.pavoniaSession !== s.index || !audio.getAttribute("src") || !voiceUsable(s))
            return;
        var at = sessionTime();
        // A voice whose length was read but that cannot be heard (no sound
        // device, or its samples cannot be decoded) still has its lip-sync:
        // the session keeps its length and the face speaks without sound.
        // A voice the browser cannot open at all leaves the face at rest.
        var silent = !!s.frames && audio.readyState >= 1 && s.voiceMs > 0;
        warn("the voice " + s.talkingMessage + " cannot be " + (silent ? "heard" : "played"));
        s.voice = silent ? "silent" : "failed";
        if (!silent)
            s.frames = null;
        layOutTimeline();
        state.timeMs = s.startMs + Math.min(at, s.durationMs);
        state.clock = "wall";
        state.wallBaseMs = Math.min(at, s.durationMs);
        state.wallAt = now();
        state.waitingForVoice = false;
        tick();
    }

    // Starts the voice at the session time `ms`, or runs the session on the
    // wall clock when it has no voice there.
    function startClock(ms) {
        var s = currentSession();
        state.waitingForVoice = false;
        if (voiceUsable(s) && (s.voice !== "ready" || ms < s.voiceMs)) {
            state.clock = "voice";
            loadVoice(s.index);
            setVoiceTime(ms);
            if (state.playing) {
                state.waitingForVoice = true;
                var attempt = audio.play();
                if (attempt && typeof attempt.then === "function") {
                    attempt.then(function () {
                        state.waitingForVoice = false;
                    }, function (error) {
                        state.waitingForVoice = false;
                        if (error && error.name === "NotAllowedError") {
                            // Sound needs a gesture first: wait for one.
                            state.blocked = true;
                            pause();
                            showStartOverlay(true);
                        } else if (error && error.name !== "AbortError") {
                            onVoiceError();
                        }
                    });
                } else {
                    state.waitingForVoice = false;
                }
            }
            return;
        }
        if (audio && !audio.paused)
            audio.pause();
        state.clock = "wall";
        state.wallBaseMs = ms;
        state.wallAt = now();
    }

    function setVoiceTime(ms) {
        var target = Math.max(0, ms) / 1000;
        if (Math.abs(audio.currentTime - target) > 0.02) {
            try {
                audio.currentTime = target;
            } catch (e) {
                // before the metadata: the voice starts from the beginning
            }
        }
    }

    // The session time the clock says now.
    function clockTime() {
        var s = currentSession();
        if (!s)
            return 0;
        if (!state.playing)
            return sessionTime();
        if (state.clock === "voice" && audio && audio.pavoniaSession === s.index)
            return audio.currentTime * 1000;
        return state.wallBaseMs + (now() - state.wallAt);
    }

    // --- Moving through the presentation ------------------------------------

    // Enters session `index` at its time `ms` (the voice is loaded there).
    function enterSession(index, ms) {
        if (state.session !== index) {
            state.session = index;
            loadSessionData(index);
            if (index + 1 < sessions.length)
                loadSessionData(index + 1);
        }
        var s = sessions[index];
        state.timeMs = s.startMs + ms;
        startClock(ms);
    }

    // Shows slide `index` (with its transition when `animate`).
    function showSlide(index, animate, lateMs) {
        if (index === state.slide && !state.rendering)
            return;
        var from = state.slide;
        if (state.transition)
            finishTransition();
        leaveRendering();
        placeSlides(animate ? from : -1, index);
        state.slide = index;
        var type = transitionOf(slides[index]);
        if (animate && from >= 0 && type >= 0) {
            state.transition = { from: from, to: index, startedAt: now() - (lateMs || 0),
                                 duration: transitionLength(slides[index]) };
            drawTransition(0);
            requestDraw();
        } else {
            drawTransition(1);
        }
        syncClips();
        updateControls();
        updateTranscript();
    }

    // A transition takes its full length, or half the slide's own time
    // when that is shorter, so it is over well before the next slide comes
    // and the slide stands finished for a while.
    function transitionLength(slide) {
        var s = slide.session;
        var last = slide.index === s.firstSlide + s.slideCount - 1;
        var own = last ? s.durationMs - slide.offsetMs : slide.delayMs;
        return own > 0 ? Math.min(TRANSITION_MS, own / 2) : TRANSITION_MS;
    }

    function finishTransition() {
        if (!state.transition)
            return;
        state.transition = null;
        drawTransition(1);
    }

    // Works out where the presentation stands now and shows it.
    // `light` only brings the state up to this moment, drawing nothing but
    // what a slide change needs (for state() between frames).
    function tick(light) {
        if (!state.started || state.rendering)
            return;
        var s = currentSession();
        if (s && state.playing && !state.waitingForVoice) {
            var ms = clockTime();
            state.timeMs = s.startMs + Math.min(ms, s.durationMs);
            // A voice a little longer than its data said still ends first.
            var speaking = state.clock === "voice" && audio && !audio.ended && !audio.paused;
            if (ms >= s.durationMs && !speaking) {
                endOfSession();
                return;
            }
        }
        if (s) {
            var slide = slideInSession(s, state.timeMs - s.startMs);
            if (state.pinned >= 0) {
                if (slides[state.pinned].startMs === state.timeMs)
                    slide = state.pinned;
                else
                    state.pinned = -1;
            }
            // A change seen late (frames come seldom in a page in the
            // background) starts its transition where the timeline is.
            if (slide !== state.slide)
                showSlide(slide, true, state.playing ? Math.max(0, state.timeMs - slides[slide].startMs) : 0);
        }
        if (state.transition) {
            var t = state.transition;
            var p = (now() - t.startedAt) / Math.max(t.duration, 1);
            if (p >= 1)
                finishTransition();
            else if (light)
                shown.p = p;
            else
                drawTransition(p);
        }
        if (light)
            return;
        drawTalker();
        updateProgress();
    }

    function endOfSession() {
        var s = currentSession();
        var last = s.index === sessions.length - 1;
        if (!state.autoJump || (last && !state.autoLoop)) {
            // The show stops at the end of the session (or of the whole
            // presentation); the last slide stays up.
            state.timeMs = s.startMs + s.durationMs;
            state.playing = false;
            if (audio)
                audio.pause();
            tickOnce();
            updateControls();
            return;
        }
        if (last && totalMs <= 0) {
            // Nothing on the timeline to loop through.
            state.playing = false;
            updateControls();
            return;
        }
        goTo(last ? 0 : s.startMs + s.durationMs, true);
    }

    function tickOnce() {
        var s = currentSession();
        if (s) {
            var slide = slideInSession(s, state.timeMs - s.startMs);
            if (slide !== state.slide)
                showSlide(slide, true);
        }
        drawTalker();
        updateProgress();
    }

    // Goes to the timeline position `ms`; `animate` runs the slide's
    // transition when the slide changes.
    // Leaves a picture of a moment (renderAt): a transition it showed half
    // way stands finished, and the controls move again.
    function leaveRendering() {
        if (!state.rendering)
            return;
        state.rendering = false;
        document.documentElement.classList.remove("pv-still");
        if (!state.transition && shown.p < 1)
            drawTransition(1);
    }

    function goTo(ms, animate, slideIndex) {
        if (!slides.length)
            return;
        leaveRendering();
        ms = clamp(ms, 0, totalMs);
        var index = sessionAt(ms);
        if (slideIndex !== undefined && slideIndex >= 0)
            index = slides[slideIndex].session.index;
        var s = sessions[index];
        var inSession = clamp(ms - s.startMs, 0, s.durationMs);
        state.pinned = slideIndex !== undefined ? slideIndex : -1;
        enterSession(index, inSession);
        var slide = state.pinned >= 0 ? state.pinned : slideInSession(s, inSession);
        if (slide !== state.slide)
            showSlide(slide, animate);
        tick();
        updateControls();
        requestDraw();
    }

    function goToSlide(index) {
        if (!slides.length)
            return;
        index = clamp(index, 0, slides.length - 1);
        goTo(slides[index].startMs, true, index);
    }

    function next() {
        if (state.slide < slides.length - 1)
            goToSlide(state.slide + 1);
        else if (state.autoLoop && slides.length)
            goToSlide(0);
    }

    function previous() {
        if (state.slide > 0)
            goToSlide(state.slide - 1);
        else if (state.autoLoop && slides.length)
            goToSlide(slides.length - 1);
    }

    function play() {
        if (!slides.length)
            return;
        leaveRendering();
        showStartOverlay(false);
        state.blocked = false;
        var s = currentSession();
        var at = sessionTime();
        if (s && at >= s.durationMs) {
            // At the end of a session: the next one, or the start again
            // after the last one.
            var nextStart = s.startMs + s.durationMs;
            state.playing = true;
            goTo(s.index === sessions.length - 1 ? 0 : nextStart, true);
            requestDraw();
            return;
        }
        state.playing = true;
        enterSession(s ? s.index : 0, at);
        updateControls();
        requestDraw();
    }

    function pause() {
        if (state.playing) {
            var s = currentSession();
            if (s && !state.waitingForVoice)
                state.timeMs = s.startMs + Math.min(clockTime(), s.durationMs);
        }
        state.playing = false;
        state.waitingForVoice = false;
        if (audio)
            audio.pause();
        syncClips();
        updateControls();
        drawTalker();
    }

    function togglePlay() {
        if (state.playing)
            pause();
        else
            play();
    }

    function seek(ms) {
        var target = Number(ms);
        if (!isFinite(target))
            return;
        goTo(target, false);
    }

    // Clips in the media area play while the show plays.
    function syncClips() {
        var slot = byId("MediaContent");
        if (!slot)
            return;
        var clips = slot.getElementsByTagName("video");
        for (var i = 0; i < clips.length; ++i) {
            if (state.playing && !state.rendering) {
                var attempt = clips[i].play();
                if (attempt && attempt.catch)
                    attempt.catch(function () {});
            } else {
                clips[i].pause();
            }
        }
    }

    // --- Session data -----------------------------------------------------

    function loadSessionData(index) {
        var s = sessions[index];
        if (!s || s.dataRequested)
            return;
        s.dataRequested = true;
        if (s.talkingImage) {
            loadPageData(s.talkingImage, function (data) {
                s.face = Face.makeFace(data, redrawTalker);
                redrawTalker();
            });
        } else {
            s.face = Face.plainFace;
        }
    }

    // The message data of every session, for the timeline's lengths.
    function loadMessageData(s, done) {
        if (!s.talkingMessage) {
            s.voice = "none";
            done();
            return;
        }
        loadPageData(s.talkingMessage, function (data) {
            if (data && data.kind === "message") {
                if (data.error || data.muted || data.textMode) {
                    s.voice = "none";
                } else {
                    var ms = Number(data.durationMs);
                    if (isFinite(ms) && ms > 0) {
                        s.voiceMs = ms;
                        if (s.voice === "unknown")
                            s.voice = "ready";
                    }
                    if (data.frames && typeof data.frames.length === "number")
                        s.frames = data.frames;
                }
            }
            done();
        });
    }

    // --- Drawing ----------------------------------------------------------

    function requestDraw() {
        if (frameRequest || !global.requestAnimationFrame)
            return;
        frameRequest = global.requestAnimationFrame(function () {
            frameRequest = 0;
            tick();
            if (state.playing || state.transition)
                requestDraw();
        });
    }

    // Draws the face again once a picture or data script has arrived.
    function redrawTalker() {
        if (state.rendering)
            renderFace();
        else
            requestDraw();
    }

    function renderFace() {
        var s = currentSession();
        if (canvas && s)
            state.mouthOpen = Face.drawFace(canvas, s.face, s.frames, sessionTime(), s.voice !== "failed", s.index + 1);
    }

    function drawTalker() {
        if (!canvas)
            return;
        if (state.rendering) {
            renderFace();
            return;
        }
        var s = currentSession();
        var moving = state.playing && !!s && s.voice !== "failed";
        state.mouthOpen = Face.drawFace(canvas, s ? s.face : null, s ? s.frames : null, sessionTime(), moving,
                                   s ? s.index + 1 : 1);
    }

    // --- Controls -----------------------------------------------------------

    function setLabel(element, text) {
        if (!element)
            return;
        element.title = text;
        element.setAttribute("aria-label", text);
    }

    function updateControls() {
        var counterText = slides.length ? (state.slide + 1) + " / " + slides.length : "";
        var counters = [byId("SlideCounter"), byId("BarCounter")];
        for (var i = 0; i < counters.length; ++i)
            if (counters[i])
                counters[i].textContent = counterText;
        var atStart = state.slide <= 0 && !state.autoLoop;
        var atEnd = slides.length === 0 || (state.slide >= slides.length - 1 && !state.autoLoop);
        var pairs = [["PrevButton", atStart], ["BarPrev", atStart], ["NextButton", atEnd], ["BarNext", atEnd]];
        for (var k = 0; k < pairs.length; ++k) {
            var button = byId(pairs[k][0]);
            if (button)
                button.disabled = pairs[k][1];
        }
        var plays = [byId("PlayButton"), byId("BarPlay")];
        for (var j = 0; j < plays.length; ++j) {
            var play = plays[j];
            if (!play)
                continue;
            play.disabled = slides.length === 0;
            play.classList.toggle("pv-playing", state.playing);
            setLabel(play, state.playing ? TEXTS.pause : TEXTS.play);
        }
        var page = byId("BGLayer");
        if (page)
            page.classList.toggle("pv-playing", state.playing);
        var mute = byId("MuteButton");
        if (mute) {
            var muted = !!(audio && audio.muted) || volume.muted;
            mute.classList.toggle("pv-muted", muted);
            setLabel(mute, muted ? TEXTS.unmute : TEXTS.mute);
        }
        updateProgress();
    }

    // The bar and time are written only when what they show changes.
    var progressShown = { width: "", text: "" };

    function updateProgress() {
        var fraction = totalMs > 0 ? clamp(state.timeMs / totalMs, 0, 1) : 0;
        var width = (fraction * 100).toFixed(2) + "%";
        if (width !== progressShown.width) {
            progressShown.width = width;
            var fill = byId("ProgressFill");
            if (fill)
                fill.style.width = width;
        }
        var text = formatTime(state.timeMs) + " / " + formatTime(totalMs);
        if (text === progressShown.text)
            return;
        progressShown.text = text;
        var bar = byId("Progress");
        if (bar) {
            bar.setAttribute("aria-valuenow", String(Math.round(state.timeMs / 1000)));
            bar.setAttribute("aria-valuemax", String(Math.round(totalMs / 1000)));
            bar.setAttribute("aria-valuetext", text);
        }
        var time = byId("TimeText");
        if (time)
            time.textContent = text;
    }

    var volume = { level: 1, muted: false };

    function applyVolume() {
        var elements = [audio, spare];
        for (var i = 0; i < elements.length; ++i) {
            if (elements[i]) {
                elements[i].volume = volume.level;
                elements[i].muted = volume.muted;
            }
        }
        var slider = byId("VolumeSlider");
        if (slider && Number(slider.value) !== volume.level)
            slider.value = String(volume.level);
        updateControls();
    }

    function toggleMute() {
        volume.muted = !volume.muted;
        applyVolume();
    }

    function changeVolume(delta) {
        volume.level = clamp(Math.round((volume.level + delta) * 20) / 20, 0, 1);
        volume.muted = volume.level === 0;
        applyVolume();
    }

    function fullScreenElement() {
        return document.fullscreenElement || document.webkitFullscreenElement || null;
    }

    function toggleFullScreen() {
        var root = document.documentElement;
        try {
            if (fullScreenElement()) {
                (document.exitFullscreen || document.webkitExitFullscreen).call(document);
            } else {
                var request = root.requestFullscreen || root.webkitRequestFullscreen;
                if (request) {
                    var result = request.call(root);
                    if (result && result.catch)
                        result.catch(function () {});
                }
            }
        } catch (e) {
            warn("full screen is not available");
        }
    }

    function showStartOverlay(visible) {
        var overlay = byId("StartOverlay");
        if (overlay)
            overlay.hidden = !visible;
    }

    // --- Transcript ---------------------------------------------------------

    // A slide text as plain lines: tags dropped, line breaks kept, nothing
    // loaded (an inline frame in a description stays out of the list).
    function plainText(html) {
        var holder = document.createElement("template");
        holder.innerHTML = html;
        var root = holder.content || holder;
        var breaks = root.querySelectorAll ? root.querySelectorAll("br") : [];
        for (var i = 0; i < breaks.length; ++i)
            breaks[i].parentNode.replaceChild(document.createTextNode("\n"), breaks[i]);
        return (root.textContent || "").replace(/[ \t]+\n/g, "\n").trim();
    }

    function buildTranscript() {
        var list = byId("TranscriptList");
        if (!list)
            return;
        for (var i = 0; i < slides.length; ++i) {
            var slide = slides[i];
            var item = document.createElement("li");
            var button = document.createElement("button");
            button.type = "button";
            button.className = "pv-transcript-entry";
            button.setAttribute("data-slide", String(i));
            var number = document.createElement("span");
            number.className = "pv-transcript-number";
            number.textContent = String(i + 1);
            button.appendChild(number);
            var body = document.createElement("span");
            body.className = "pv-transcript-text";
            var title = document.createElement("span");
            title.className = "pv-transcript-title";
            title.textContent = plainText(slide.subTopic) || TEXTS.slide + " " + (i + 1);
            body.appendChild(title);
            var text = plainText(slide.description);
            if (text) {
                var description = document.createElement("span");
                description.className = "pv-transcript-description";
                description.textContent = text;
                body.appendChild(description);
            }
            button.appendChild(body);
            (function (index) {
                button.addEventListener("click", function () {
                    goToSlide(index);
                });
            })(i);
            item.appendChild(button);
            list.appendChild(item);
        }
    }

    var transcriptShown = -1;
    function updateTranscript() {
        var list = byId("TranscriptList");
        if (!list || transcriptShown === state.slide)
            return;
        var entries = list.querySelectorAll(".pv-transcript-entry");
        if (transcriptShown >= 0 && entries[transcriptShown])
            entries[transcriptShown].classList.remove("pv-current");
        transcriptShown = state.slide;
        var entry = entries[state.slide];
        if (entry) {
            entry.classList.add("pv-current");
            entry.setAttribute("aria-current", "true");
            var panel = byId("TranscriptPanel");
            if (panel && !panel.hidden && entry.scrollIntoView)
                entry.scrollIntoView({ block: "nearest" });
        }
    }

    // Until the viewer opens or closes the transcript, it is shown where a
    // tall narrow window (a phone held upright) has room for it under the
    // page, in a size that reads well.
    var transcriptAuto = true;

    function toggleTranscript(force) {
        var panel = byId("TranscriptPanel");
        if (!panel)
            return;
        transcriptAuto = false;
        panel.hidden = force === undefined ? !panel.hidden : !force;
        var button = byId("TranscriptButton");
        if (button)
            button.setAttribute("aria-pressed", panel.hidden ? "false" : "true");
        layOutPage();
        transcriptShown = -1;
        updateTranscript();
    }

    // --- Page size ----------------------------------------------------------

    var design = { width: 0, height: 0 };

    // Scales the page to the window, keeping its proportions; the control
    // bar goes under it, and the transcript beside it or under the bar.
    function layOutPage() {
        var page = byId("BGLayer");
        var viewport = byId("PvViewport");
        if (!page || !viewport)
            return;
        if (!design.width) {
            design.width = page.offsetWidth || 800;
            design.height = page.offsetHeight || 600;
        }
        var bar = byId("PlayerBar");
        var panel = byId("TranscriptPanel");
        var winWidth = document.documentElement.clientWidth || global.innerWidth;
        var winHeight = global.innerHeight || document.documentElement.clientHeight;
        var barHeight = bar ? bar.offsetHeight : 0;
        if (panel && transcriptAuto) {
            var whole = Math.min(winWidth / design.width, (winHeight - barHeight) / design.height);
            var open = slides.length > 0 && winWidth < 900 && winHeight - design.height * whole - barHeight >= 240;
            if (panel.hidden === open) {
                panel.hidden = !open;
                transcriptShown = -1;
            }
        }
        var side = panel && !panel.hidden && winWidth >= 900 ? Math.min(340, Math.round(winWidth * 0.3)) : 0;
        var scale = Math.min((winWidth - side) / design.width, (winHeight - barHeight) / design.height);
        scale = Math.max(scale, 0.1);
        var width = Math.floor(design.width * scale);
        var height = Math.floor(design.height * scale);
        page.style.transformOrigin = "0 0";
        page.style.transform = "scale(" + scale + ")";
        viewport.style.width = width + "px";
        viewport.style.height = height + "px";
        var left = Math.max(0, Math.floor((winWidth - side - width) / 2));
        viewport.style.marginLeft = left + "px";
        if (bar) {
            bar.style.width = width + "px";
            bar.style.marginLeft = left + "px";
        }
        if (panel) {
            panel.classList.toggle("pv-transcript-side", side > 0);
            if (side > 0) {
                panel.style.top = "0px";
                panel.style.width = side + "px";
                panel.style.height = "";
            } else {
                var top = height + barHeight;
                panel.style.top = top + "px";
                panel.style.width = "";
                panel.style.height = Math.max(120, winHeight - top) + "px";
            }
        }
        state.scale = scale;
        sizeCanvas();
    }

    function sizeCanvas() {
        if (!canvas)
            return;
        var area = canvas.parentNode;
        var ratio = (global.devicePixelRatio || 1) * (state.scale || 1);
        var width = Math.max(1, Math.round(area.clientWidth * ratio));
        var height = Math.max(1, Math.round(area.clientHeight * ratio));
        if (canvas.width !== width || canvas.height !== height) {
            canvas.width = width;
            canvas.height = height;
        }
        drawTalker();
    }

    // --- Input ----------------------------------------------------------------

    function bind(id, action) {
        var element = byId(id);
        if (element)
            element.addEventListener("click", function (event) {
                event.preventDefault();
                action();
            });
    }

    function onKey(event) {
        var target = event.target;
        if (event.ctrlKey || event.altKey || event.metaKey)
            return;
        // Fields, and the volume slider, use their keys themselves.
        if (target && /^(input|textarea|select)$/i.test(target.tagName))
            return;
        if (target && target.isContentEditable)
            return;
        // A focused button already answers Space and Enter itself.
        if (target && /^button$/i.test(target.tagName) && (event.key === " " || event.key === "Enter"))
            return;
        switch (event.key) {
        case "ArrowRight": case "PageDown": next(); break;
        case "ArrowLeft": case "PageUp": previous(); break;
        case "ArrowUp": changeVolume(0.1); break;
        case "ArrowDown": changeVolume(-0.1); break;
        case "Home": goToSlide(0); break;
        case "End": goToSlide(slides.length - 1); break;
        case " ": case "Spacebar": case "k": case "K": togglePlay(); break;
        case "m": case "M": toggleMute(); break;
        case "f": case "F": toggleFullScreen(); break;
        case "t": case "T": toggleTranscript(); break;
        case "Escape":
            if (byId("TranscriptPanel") && !byId("TranscriptPanel").hidden)
                toggleTranscript(false);
            else
                return;
            break;
        default: return;
        }
        event.preventDefault();
    }

    function bindProgress() {
        var bar = byId("Progress");
        if (!bar)
            return;
        var dragging = false;
        var seekTo = function (event) {
            var box = bar.getBoundingClientRect();
            if (box.width <= 0)
                return;
            seek(clamp((event.clientX - box.left) / box.width, 0, 1) * totalMs);
        };
        bar.addEventListener("pointerdown", function (event) {
            dragging = true;
            if (bar.setPointerCapture)
                bar.setPointerCapture(event.pointerId);
            seekTo(event);
            event.preventDefault();
        });
        bar.addEventListener("pointermove", function (event) {
            if (dragging)
                seekTo(event);
        });
        var stop = function () { dragging = false; };
        bar.addEventListener("pointerup", stop);
        bar.addEventListener("pointercancel", stop);
        bar.addEventListener("keydown", function (event) {
            if (event.key === "ArrowRight" || event.key === "ArrowLeft") {
                seek(state.timeMs + (event.key === "ArrowRight" ? 5000 : -5000));
                event.preventDefault();
                event.stopPropagation();
            }
        });
    }

    // A sideways swipe on the page moves to the next or previous slide.
    function bindSwipe() {
        var surface = byId("PvViewport");
        if (!surface)
            return;
        var start = null;
        surface.addEventListener("touchstart", function (event) {
            start = event.touches.length === 1 ? { x: event.touches[0].clientX, y: event.touches[0].clientY } : null;
        }, { passive: true });
        surface.addEventListener("touchend", function (event) {
            if (!start || !event.changedTouches.length)
                return;
            var dx = event.changedTouches[0].clientX - start.x;
            var dy = event.changedTouches[0].clientY - start.y;
            start = null;
            if (Math.abs(dx) >= 50 && Math.abs(dx) > Math.abs(dy) * 1.5) {
                if (dx < 0)
                    next();
                else
                    previous();
            }
        }, { passive: true });
    }

    function bindControls() {
        bind("PrevButton", previous);
        bind("NextButton", next);
        bind("PlayButton", togglePlay);
        bind("BarPrev", previous);
        bind("BarNext", next);
        bind("BarPlay", togglePlay);
        bind("MuteButton", toggleMute);
        bind("FullscreenButton", toggleFullScreen);
        bind("TranscriptButton", function () { toggleTranscript(); });
        bind("TranscriptClose", function () { toggleTranscript(false); });
        bind("StartButton", play);
        var slider = byId("VolumeSlider");
        if (slider)
            slider.addEventListener("input", function () {
                volume.level = clamp(Number(slider.value) || 0, 0, 1);
                volume.muted = volume.level === 0;
                applyVolume();
            });
        var full = byId("FullscreenButton");
        if (full) {
            var enabled = document.fullscreenEnabled || document.webkitFullscreenEnabled;
            full.hidden = !enabled;
            setLabel(full, TEXTS.fullScreen);
            var onChange = function () {
                full.classList.toggle("pv-active", !!fullScreenElement());
                setLabel(full, fullScreenElement() ? TEXTS.exitFullScreen : TEXTS.fullScreen);
            };
            document.addEventListener("fullscreenchange", onChange);
            document.addEventListener("webkitfullscreenchange", onChange);
        }
        setLabel(byId("PrevButton"), TEXTS.previous);
        setLabel(byId("BarPrev"), TEXTS.previous);
        setLabel(byId("NextButton"), TEXTS.next);
        setLabel(byId("BarNext"), TEXTS.next);
        setLabel(byId("TranscriptButton"), TEXTS.transcript);
        setLabel(byId("TranscriptClose"), TEXTS.close);
        setLabel(byId("VolumeSlider"), TEXTS.volume);
        setLabel(byId("Progress"), TEXTS.seek);
        var startLabel = byId("StartLabel");
        if (startLabel)
            startLabel.textContent = TEXTS.start;
        setLabel(byId("StartButton"), TEXTS.start);
        var heading = byId("TranscriptHeading");
        if (heading)
            heading.textContent = TEXTS.transcript;
        document.addEventListener("keydown", onKey);
        bindProgress();
        bindSwipe();
        global.addEventListener("resize", layOutPage);
    }

    // --- Start ----------------------------------------------------------------

    function placeMediaLayer() {
        var layer = byId("MediaArea");
        if (!layer)
            return;
        if (mediaRect.width <= 0 || mediaRect.height <= 0) {
            layer.style.display = "none";
            return;
        }
        layer.style.left = mediaRect.left + "px";
        layer.style.top = mediaRect.top + "px";
        layer.style.width = mediaRect.width + "px";
        layer.style.height = mediaRect.height + "px";
    }

    function StartPresentation(startSlide, autoPlay, autoLoop, autoJump) {
        var begin = function () {
            if (state.started)
                return;
            state.autoJump = Number(autoJump) !== 0;
            state.autoLoop = Number(autoLoop) !== 0;
            state.autoPlay = Number(autoPlay) !== 0;
            var heading = byId("Heading");
            if (heading && heading.textContent.replace(/\s+/g, " ").trim() !== "")
                document.title = heading.textContent.replace(/\s+/g, " ").trim();
            // A page without a heading shows no empty heading panel.
            var headingArea = byId("HeadingArea");
            if (heading && headingArea && heading.textContent.trim() === "" &&
                !heading.querySelector("img, svg, iframe, video, object, embed"))
                headingArea.classList.add("pv-empty");
            placeMediaLayer();
            canvas = byId("TalkerCanvas");
            var page = byId("BGLayer");
            if (page)
                page.classList.toggle("pv-no-slides", slides.length === 0);
            bindControls();
            buildTranscript();
            layOutPage();
            layOutTimeline();
            state.started = true;
            var first = parseInt(startSlide, 10);
            first = isFinite(first) ? clamp(first, 0, Math.max(0, slides.length - 1)) : 0;
            if (!slides.length) {
                updateControls();
                return;
            }
            // The messages' lengths place every slide on the timeline; the
            // show starts once they are known (or known to be missing).
            var pending = sessions.length;
            var started = false;
            var ready = function () {
                if (--pending > 0 || started)
                    return;
                started = true;
                layOutTimeline();
                state.dataReady = true;
                state.playing = state.autoPlay && !state.rendering;
                if (!state.rendering)
                    goTo(slides[first].startMs, false, first);
                fallbackTimer = global.setInterval(function () {
                    if (state.playing)
                        tick();
                }, 250);
            };
            // Until then the start slide is already on screen.
            state.session = -1;
            enterSession(slides[first].session.index, slides[first].offsetMs);
            showSlide(first, false);
            for (var i = 0; i < sessions.length; ++i) {
                loadMessageData(sessions[i], ready);
                loadSessionData(i);
            }
            // A data script that never answers does not hold the show.
            global.setTimeout(function () {
                if (!started) {
                    warn("some data scripts did not load in time");
                    pending = 1;
                    ready();
                }
            }, 5000);
        };
        if (document.readyState === "loading")
            document.addEventListener("DOMContentLoaded", begin);
        else
            begin();
    }

    // --- Script interface -----------------------------------------------------

    // Draws the exact picture of timeline moment `ms`: slide, transition
    // progress and face, with no sound. Playback stops.
    function renderAt(ms) {
        if (!slides.length)
            return;
        var target = Number(ms);
        if (!isFinite(target))
            return;
        if (state.playing)
            pause();
        target = clamp(target, 0, totalMs);
        var index = sessionAt(target);
        var s = sessions[index];
        var inSession = clamp(target - s.startMs, 0, s.durationMs);
        if (state.session !== index) {
            state.session = index;
            loadSessionData(index);
        }
        if (audio)
            audio.pause();
        state.timeMs = target;
        state.pinned = -1;
        if (state.transition)
            state.transition = null;
        var k = slideInSession(s, inSession);
        var slide = slides[k];
        var type = transitionOf(slide);
        var p = type >= 0 && k > 0 ? (target - slide.startMs) / transitionLength(slide) : 1;
        var from = p < 1 ? k - 1 : -1;
        if (shown.to !== k || shown.from !== from) {
            state.rendering = false;
            placeSlides(from, k);
        }
        state.slide = k;
        state.rendering = true;
        // No control fades half-way in a picture of a moment.
        document.documentElement.classList.add("pv-still");
        drawTransition(p);
        var clip = byId("MediaContent") && byId("MediaContent").getElementsByTagName("video")[0];
        if (clip) {
            clip.pause();
            try {
                clip.currentTime = Math.max(0, target - slide.startMs) / 1000;
            } catch (e) {
                // a clip without metadata yet stays at its start
            }
        }
        renderFace();
        updateControls();
        updateTranscript();
    }

    // True once every data script has been read and the pictures on
    // screen (slide pictures and the face) have arrived.
    function isReady() {
        if (!state.dataReady)
            return false;
        for (var i = 0; i < sessions.length; ++i) {
            var s = sessions[i];
            if (s.talkingImage && !s.face)
                return false;
        }
        var s0 = currentSession();
        var face = s0 && s0.face;
        if (face && face.picture && !face.picture.complete)
            return false;
        var pictures = byId("BGLayer") ? byId("BGLayer").getElementsByTagName("img") : [];
        for (var k = 0; k < pictures.length; ++k)
            if (!pictures[k].complete)
                return false;
        return true;
    }

    function stateNow() {
        // The answer is of this moment, also where frames are not being
        // drawn (a page in the background).
        if (state.started && !state.rendering && (state.playing || state.transition))
            tick(true);
        var s = currentSession();
        return {
            session: s ? s.index + 1 : 0,
            slide: state.slide + 1,
            timeMs: Math.round(state.timeMs),
            durationMs: Math.round(totalMs),
            playing: state.playing,
            mouthOpen: state.mouthOpen,
            transition: state.slide >= 0 ? transitionOf(slides[state.slide]) : -1,
            transitionProgress: shown.p,
            blocked: state.blocked,
            ready: isReady()
        };
    }

    global.InitMediaLayer = InitMediaLayer;
    global.AppendPageInfo = AppendPageInfo;
    global.StartPresentation = StartPresentation;
    global.PavoniaPlayer = {
        play: play,
        pause: pause,
        seek: seek,
        state: stateNow,
        renderAt: renderAt,
        next: next,
        previous: previous,
        goToSlide: function (number) { goToSlide(Number(number) - 1); },
        slides: slides,
        sessions: sessions,
        mediaRect: function () { return mediaRect; },
        fileUrl: fileUrl
    };
})(window);
